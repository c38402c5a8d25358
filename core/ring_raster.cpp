#include "core/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/sector_polygon.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The canvas is never held whole: one band of ss canvas rows (one output
// row) is cleared, painted by every sector that reaches it, in vector order,
// and boxed down at once, so the working set stays in cache. A sector's
// polygon is built when the bands reach its top row and dropped after its
// bottom row.

namespace fan {

namespace {

constexpr int kMaxSize = 1536;
constexpr int kMaxSupersample = 6;

// Canvas pixels hold red, green, blue, 0 as bytes, so that widening each
// byte to 16 bits gives the lanes the box filter sums.
uint32_t packPixel(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

// Sums the band's ss rows per canvas column into four 16-bit lanes per
// pixel (at most 6 x 255, no carry between lanes).
template <int SS>
void sumColumns(const uint32_t* band, int n, uint64_t* columns) {
    int c = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; c + 4 <= n; c += 4) {
        __m128i low = zero;
        __m128i high = zero;
        for (int j = 0; j < SS; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(band + j * n + c));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + c), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + c + 2), high);
    }
#endif
    for (; c < n; ++c) {
        uint64_t sum = 0;
        for (int j = 0; j < SS; ++j) {
            const uint32_t p = band[j * n + c];
            sum += (p & 0xFFu) | static_cast<uint64_t>(p & 0xFF00u) << 8 | static_cast<uint64_t>(p & 0xFF0000u) << 16;
        }
        columns[c] = sum;
    }
}

// One output row from the column sums: each pixel the average of its
// SS x SS samples, rounded half up. Lane sums stay below 6 x 6 x 255.
template <int SS>
void boxRow(const uint64_t* columns, int size, uint8_t* out) {
    constexpr unsigned kArea = SS * SS;
    constexpr unsigned kHalf = kArea / 2;
    for (int x = 0; x < size; ++x) {
        uint64_t sum = 0;
        for (int j = 0; j < SS; ++j) sum += columns[x * SS + j];
        out[3 * x] = static_cast<uint8_t>(((sum & 0xFFFFu) + kHalf) / kArea);
        out[3 * x + 1] = static_cast<uint8_t>((((sum >> 16) & 0xFFFFu) + kHalf) / kArea);
        out[3 * x + 2] = static_cast<uint8_t>((((sum >> 32) & 0xFFFFu) + kHalf) / kArea);
    }
}

template <int SS>
void downsampleBand(const uint32_t* band, int size, uint64_t* columns, uint8_t* out) {
    sumColumns<SS>(band, size * SS, columns);
    boxRow<SS>(columns, size, out);
}

using DownsampleFn = void (*)(const uint32_t*, int, uint64_t*, uint8_t*);

DownsampleFn downsampleFor(int ss) {
    static constexpr DownsampleFn table[kMaxSupersample] = {
        downsampleBand<1>, downsampleBand<2>, downsampleBand<3>,
        downsampleBand<4>, downsampleBand<5>, downsampleBand<6>,
    };
    return table[ss - 1];
}

// Sets the canvas pixels of one row whose centres lie in [x0, x1) of each
// pair of sorted crossings; an unpaired last crossing is ignored.
void fillPairs(const std::vector<double>& xs, int n, uint32_t colour, uint32_t* row) {
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        // Clamp before converting: crossings may lie far off the canvas.
        const double first = std::clamp(std::ceil(xs[i] - 0.5), 0.0, static_cast<double>(n));
        const double last = std::clamp(std::ceil(xs[i + 1] - 0.5), 0.0, static_cast<double>(n));
        const auto c0 = static_cast<int>(first);
        const auto c1 = static_cast<int>(last);
        if (c0 < c1) std::fill(row + c0, row + c1, colour);
    }
}

struct Prepared {
    SectorExtent extent;
    uint32_t colour;
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
            sectors.push_back({extent, packPixel(segment.red, segment.green, segment.blue)});
    }
    std::vector<uint32_t> byTop(sectors.size());
    for (uint32_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](uint32_t a, uint32_t b) { return sectors[a].extent.rowTop < sectors[b].extent.rowTop; });

    const uint32_t backgroundPixel = packPixel(background[0], background[1], background[2]);
    std::vector<uint32_t> band(static_cast<size_t>(n) * ss);
    std::vector<uint64_t> columns(static_cast<size_t>(n));
    std::vector<double> xs;
    std::vector<SectorPolygon> polygons;
    std::vector<uint32_t> freeSlots;
    std::vector<Active> active;
    const DownsampleFn downsample = downsampleFor(ss);
    size_t nextByTop = 0;

    for (int outputRow = 0; outputRow < size; ++outputRow) {
        const int bandTop = outputRow * ss;
        const int bandBottom = bandTop + ss - 1;
        std::fill(band.begin(), band.end(), backgroundPixel);

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
            for (int row = first; row <= last; ++row) {
                xs.clear();
                polygon.crossings(row + 0.5, xs);
                if (xs.size() < 2) continue;
                if (xs.size() == 2) {
                    if (xs[1] < xs[0]) std::swap(xs[0], xs[1]);
                } else {
                    std::sort(xs.begin(), xs.end());
                }
                fillPairs(xs, n, sector.colour, band.data() + static_cast<size_t>(row - bandTop) * n);
            }
        }

        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const Active& entry) {
                                        if (sectors[entry.sector].extent.rowBottom > bandBottom) return false;
                                        freeSlots.push_back(entry.slot);
                                        return true;
                                    }),
                     active.end());

        downsample(band.data(), size, columns.data(), out.data() + static_cast<size_t>(outputRow) * size * 3);
    }
    return out;
}

}  // namespace fan
