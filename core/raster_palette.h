// The distinct colours of one rasterisation, so that canvas samples can be
// held as small palette indices instead of colours.
//
// Internal to the ring rasteriser, built once per call and only read after.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace fan {

struct RasterPalette {
    // Per index: red, green and blue in 16-bit lanes (bits 0, 16, 32), so
    // that the sum of a pixel's samples is one addition per sample.
    std::vector<uint64_t> lanes;
    // Per index: red, green, blue, 0 in memory order, for writing a whole
    // pixel with one 4-byte store.
    std::vector<uint32_t> bytes;

    // The number of distinct colours. Indices run from 0 to count() - 1;
    // count() itself is left free for the band's "mixed" mark, and both
    // tables hold a (black) entry for it so that a lookup never needs a
    // test first.
    uint32_t count() const { return static_cast<uint32_t>(lanes.size() - 1); }
};

// Collects the distinct colours among `colours` and returns the palette;
// `indices[i]` becomes the index of `colours[i]`.
RasterPalette buildPalette(const std::vector<std::array<uint8_t, 3>>& colours, std::vector<uint32_t>& indices);

}  // namespace fan
