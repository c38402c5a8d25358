#include "core/ring_raster.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "core/raster_palette.h"
#include "core/sample_band.h"
#include "core/sector_polygon.h"

// The canvas is never held whole: one band of ss canvas rows (one output
// row) is cleared, painted by every sector that reaches it, in vector order,
// and boxed down at once, so the working set stays in cache. A sector's
// polygon is built when the bands reach its top row and dropped after its
// bottom row. Rows are never held as samples where a sector covers whole
// pixels (see SampleBand). The band loop is instantiated per supersample,
// so that its per-row loops have constant trip counts, and per sample
// width, so that the common palette of fewer than 65536 colours keeps
// samples at two bytes.

namespace fan {

namespace {

constexpr int kMaxSize = 1536;
constexpr int kMaxSupersample = 6;

struct Prepared {
    SectorExtent extent;
    uint32_t colour;  // palette index
};

// What the band loop needs of a sector, kept together.
struct Active {
    uint32_t sector;    // index into the prepared sectors, which keep vector order
    uint32_t slot;      // the polygon built for it
    uint32_t colour;    // palette index
    int32_t rowBottom;  // its last canvas row
};

// Sorts a row's few crossing columns.
inline void sortColumns(int32_t* columns, int32_t count) {
    if (count == 2) {
        if (columns[1] < columns[0]) std::swap(columns[0], columns[1]);
        return;
    }
    for (int32_t i = 1; i < count; ++i)
        for (int32_t k = i; k > 0 && columns[k] < columns[k - 1]; --k)
            std::swap(columns[k], columns[k - 1]);
}

// Output rows [rows.begin, rows.end) of the size x size image.
struct RowRange {
    int begin;
    int end;
};

template <int SS, typename Index>
void paintBands(int size, RowRange rows, double centre, uint32_t background, const std::vector<Prepared>& sectors,
                const RasterPalette& palette, std::vector<uint8_t>& out) {
    const int n = size * SS;
    std::vector<uint32_t> byTop(sectors.size());
    for (uint32_t i = 0; i < byTop.size(); ++i)
        byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](uint32_t a, uint32_t b) { return sectors[a].extent.rowTop < sectors[b].extent.rowTop; });

    SampleBand<SS, Index> band(size, static_cast<Index>(palette.count()));
    std::vector<uint8_t> row(3 * static_cast<size_t>(size) + 1);
    std::vector<int32_t> columns;
    std::vector<SectorPolygon> polygons;
    std::vector<uint32_t> freeSlots;
    std::vector<Active> active;
    size_t nextByTop = 0;

    for (int outputRow = rows.begin; outputRow < rows.end; ++outputRow) {
        const int bandTop = outputRow * SS;
        const int bandBottom = bandTop + SS - 1;
        band.clear(static_cast<Index>(background));

        // Sectors reaching the band for the first time, merged into the
        // active list so that it stays in vector order (overwrites must
        // happen in that order).
        const size_t activeBefore = active.size();
        for (; nextByTop < byTop.size() && sectors[byTop[nextByTop]].extent.rowTop <= bandBottom; ++nextByTop) {
            // Only when the rows asked for start lower down: sectors that
            // end above them never reach a band.
            if (sectors[byTop[nextByTop]].extent.rowBottom < bandTop) continue;
            uint32_t slot;
            if (freeSlots.empty()) {
                slot = static_cast<uint32_t>(polygons.size());
                polygons.emplace_back();
            } else {
                slot = freeSlots.back();
                freeSlots.pop_back();
            }
            const uint32_t sector = byTop[nextByTop];
            polygons[slot].build(sectors[sector].extent, centre, SS, n);
            active.push_back({sector, slot, sectors[sector].colour, sectors[sector].extent.rowBottom});
        }
        if (active.size() != activeBefore) {
            const auto bySector = [](const Active& a, const Active& b) { return a.sector < b.sector; };
            std::sort(active.begin() + static_cast<std::ptrdiff_t>(activeBefore), active.end(), bySector);
            std::inplace_merge(active.begin(), active.begin() + static_cast<std::ptrdiff_t>(activeBefore), active.end(),
                               bySector);
        }

        for (size_t i = 0; i < active.size(); ++i) {
            const Active& entry = active[i];
            if (i + 2 < active.size()) polygons[active[i + 2].slot].prefetch();  // see prefetch()
            SectorPolygon& polygon = polygons[entry.slot];
            const Index colour = static_cast<Index>(entry.colour);
            int32_t starts[SS];
            int32_t ends[SS];
            if (polygon.template bandRun<SS>(bandTop, starts, ends)) {
                band.fillRuns(starts, ends, colour);
                continue;
            }
            const size_t stride = polygon.chainCount();
            if (stride == 0) continue;
            columns.resize(std::max(columns.size(), stride * SS));
            int32_t counts[SS];
            polygon.template bandColumns<SS>(bandTop, columns.data(), counts);
            // Run r of the band is run r of each row (an unpaired last
            // crossing is ignored; a row with fewer runs adds an empty one):
            // the runs of one sector in one row never overlap, so painting
            // them run index by run index paints each row's runs exactly.
            int32_t runs = 0;
            for (int j = 0; j < SS; ++j) {
                sortColumns(columns.data() + static_cast<size_t>(j) * stride, counts[j]);
                runs = std::max(runs, counts[j] / 2);
            }
            for (int32_t r = 0; r < runs; ++r) {
                for (int j = 0; j < SS; ++j) {
                    const int32_t* rowColumns = columns.data() + static_cast<size_t>(j) * stride;
                    const bool has = 2 * r + 1 < counts[j];
                    const int32_t* run = rowColumns + 2 * static_cast<size_t>(r);
                    starts[j] = has ? run[0] : 0;
                    ends[j] = has ? run[1] : 0;
                }
                band.fillRuns(starts, ends, colour);
            }
        }

        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const Active& entry) {
                                        if (entry.rowBottom > bandBottom) return false;
                                        freeSlots.push_back(entry.slot);
                                        return true;
                                    }),
                     active.end());

        // Each row is boxed down in cache and appended: the output is
        // written once, never cleared first.
        band.downsample(palette, row.data());
        out.insert(out.end(), row.begin(), row.begin() + 3 * static_cast<ptrdiff_t>(size));
    }
}

template <typename Index>
void paintWithIndex(int ss, int size, RowRange rows, double centre, uint32_t background,
                    const std::vector<Prepared>& sectors, const RasterPalette& palette, std::vector<uint8_t>& out) {
    switch (ss) {
        case 1:
            return paintBands<1, Index>(size, rows, centre, background, sectors, palette, out);
        case 2:
            return paintBands<2, Index>(size, rows, centre, background, sectors, palette, out);
        case 3:
            return paintBands<3, Index>(size, rows, centre, background, sectors, palette, out);
        case 4:
            return paintBands<4, Index>(size, rows, centre, background, sectors, palette, out);
        case 5:
            return paintBands<5, Index>(size, rows, centre, background, sectors, palette, out);
        default:
            return paintBands<6, Index>(size, rows, centre, background, sectors, palette, out);
    }
}

}  // namespace

std::vector<uint8_t> rasterizeRingRows(int size, double centre, std::array<uint8_t, 3> background,
                                       const std::vector<RasterSegment>& segments, int supersample, int rowBegin,
                                       int rowEnd) {
    if (size < 1 || size > kMaxSize) throw std::invalid_argument("Invalid chart size");
    const RowRange rows{std::clamp(rowBegin, 0, size), std::clamp(rowEnd, 0, size)};
    std::vector<uint8_t> out;
    if (rows.end <= rows.begin) return out;
    const int ss = std::clamp(supersample, 1, kMaxSupersample);
    const int n = size * ss;
    out.reserve(static_cast<size_t>(rows.end - rows.begin) * size * 3);

    std::vector<Prepared> sectors;
    sectors.reserve(segments.size());
    std::vector<std::array<uint8_t, 3>> colours{background};
    for (const RasterSegment& segment : segments) {
        SectorExtent extent;
        if (!sectorExtent(segment, centre, ss, n, extent)) continue;
        sectors.push_back({extent, 0});
        colours.push_back({segment.red, segment.green, segment.blue});
    }
    std::vector<uint32_t> indices;
    const RasterPalette palette = buildPalette(colours, indices);
    for (size_t i = 0; i < sectors.size(); ++i)
        sectors[i].colour = indices[i + 1];

    // The mark takes the index after the last colour.
    if (palette.count() <= 0xFFFF)
        paintWithIndex<uint16_t>(ss, size, rows, centre, indices[0], sectors, palette, out);
    else
        paintWithIndex<uint32_t>(ss, size, rows, centre, indices[0], sectors, palette, out);
    return out;
}

std::vector<uint8_t> rasterizeRings(int size, double centre, std::array<uint8_t, 3> background,
                                    const std::vector<RasterSegment>& segments, int supersample) {
    return rasterizeRingRows(size, centre, background, segments, supersample, 0, size);
}

}  // namespace fan
