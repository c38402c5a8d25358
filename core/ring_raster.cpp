#include "core/ring_raster.h"

#include <algorithm>
#include <stdexcept>

#include "core/sample_band.h"
#include "core/sector_polygon.h"

// The canvas is never held whole: one band of ss canvas rows (one output
// row) is cleared, painted by every sector that reaches it, in vector order,
// and boxed down at once, so the working set stays in cache. A sector's
// polygon is built when the bands reach its top row and dropped after its
// bottom row. Rows are never held as samples where a sector covers whole
// pixels (see SampleBand).

namespace fan {

namespace {

constexpr int kMaxSize = 1536;
constexpr int kMaxSupersample = 6;

struct Prepared {
    SectorExtent extent;
    uint64_t colour;
};

struct Active {
    uint32_t sector;  // index into the prepared sectors, which keep vector order
    uint32_t slot;    // the polygon built for it
};

}  // namespace

std::vector<uint8_t> rasterizeRings(int size, double centre, std::array<uint8_t, 3> background,
                                    const std::vector<RasterSegment>& segments, int supersample) {
    if (size < 1 || size > kMaxSize) throw std::invalid_argument("Invalid chart size");
    const int ss = std::clamp(supersample, 1, kMaxSupersample);
    const int n = size * ss;
    std::vector<uint8_t> out(static_cast<size_t>(size) * size * 3);

    std::vector<Prepared> sectors;
    sectors.reserve(segments.size());
    for (const RasterSegment& segment : segments) {
        SectorExtent extent;
        if (sectorExtent(segment, centre, ss, n, extent))
            sectors.push_back({extent, SampleBand::pixel(segment.red, segment.green, segment.blue)});
    }
    std::vector<uint32_t> byTop(sectors.size());
    for (uint32_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](uint32_t a, uint32_t b) { return sectors[a].extent.rowTop < sectors[b].extent.rowTop; });

    const uint64_t backgroundPixel = SampleBand::pixel(background[0], background[1], background[2]);
    SampleBand band(size, ss);
    std::vector<int32_t> columns;
    std::vector<size_t> runs(ss);
    std::vector<int32_t> starts(ss);
    std::vector<int32_t> ends(ss);
    std::vector<SectorPolygon> polygons;
    std::vector<uint32_t> freeSlots;
    std::vector<Active> active;
    size_t nextByTop = 0;

    for (int outputRow = 0; outputRow < size; ++outputRow) {
        const int bandTop = outputRow * ss;
        const int bandBottom = bandTop + ss - 1;
        band.clear(backgroundPixel);

        const size_t activeBefore = active.size();
        for (; nextByTop < byTop.size() && sectors[byTop[nextByTop]].extent.rowTop <= bandBottom; ++nextByTop) {
            uint32_t slot;
            if (freeSlots.empty()) {
                slot = static_cast<uint32_t>(polygons.size());
                polygons.emplace_back();
            } else {
                slot = freeSlots.back();
                freeSlots.pop_back();
            }
            const uint32_t sector = byTop[nextByTop];
            polygons[slot].build(sectors[sector].extent, centre, ss);
            active.push_back({sector, slot});
        }
        // Overwrites must happen in vector order.
        if (active.size() != activeBefore)
            std::sort(active.begin(), active.end(), [](const Active& a, const Active& b) { return a.sector < b.sector; });

        for (const Active& entry : active) {
            const Prepared& sector = sectors[entry.sector];
            SectorPolygon& polygon = polygons[entry.slot];
            const int first = std::max(bandTop, static_cast<int>(sector.extent.rowTop));
            const int last = std::min(bandBottom, static_cast<int>(sector.extent.rowBottom));
            // Each band row's crossing columns, sorted: the runs to fill are
            // their pairs (an unpaired last crossing is ignored). When every
            // row of the band has the same number of runs, the band takes
            // each run across its rows at once.
            const size_t stride = polygon.chainCount();
            if (stride == 0) continue;
            columns.resize(std::max(columns.size(), stride * ss));
            bool sameRuns = first == bandTop && last == bandBottom;
            for (int row = first; row <= last; ++row) {
                const int j = row - bandTop;
                int32_t* rowColumns = columns.data() + static_cast<size_t>(j) * stride;
                const size_t count = polygon.crossingColumns(row + 0.5, n, rowColumns);
                if (count == 2 && rowColumns[1] < rowColumns[0]) std::swap(rowColumns[0], rowColumns[1]);
                if (count > 2) std::sort(rowColumns, rowColumns + count);
                runs[j] = count / 2;
                sameRuns = sameRuns && runs[j] == runs[0];
            }
            if (sameRuns) {
                for (size_t r = 0; r < runs[0]; ++r) {
                    for (int j = 0; j < ss; ++j) {
                        starts[j] = columns[static_cast<size_t>(j) * stride + 2 * r];
                        ends[j] = columns[static_cast<size_t>(j) * stride + 2 * r + 1];
                    }
                    band.fillRows(starts.data(), ends.data(), sector.colour);
                }
                continue;
            }
            for (int row = first; row <= last; ++row) {
                const int j = row - bandTop;
                const int32_t* rowColumns = columns.data() + static_cast<size_t>(j) * stride;
                for (size_t r = 0; r < runs[j]; ++r)
                    band.fillRow(j, rowColumns[2 * r], rowColumns[2 * r + 1], sector.colour);
            }
        }

        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const Active& entry) {
                                        if (sectors[entry.sector].extent.rowBottom > bandBottom) return false;
                                        freeSlots.push_back(entry.slot);
                                        return true;
                                    }),
                     active.end());

        band.downsample(out.data() + static_cast<size_t>(outputRow) * size * 3);
    }
    return out;
}

}  // namespace fan
