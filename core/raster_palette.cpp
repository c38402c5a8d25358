#include "core/raster_palette.h"

#include <algorithm>
#include <cstring>

namespace fan {

namespace {

uint32_t key(const std::array<uint8_t, 3>& c) {
    return uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2];
}

}  // namespace

RasterPalette buildPalette(const std::vector<std::array<uint8_t, 3>>& colours, std::vector<uint32_t>& indices) {
    std::vector<uint32_t> keys(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        keys[i] = key(colours[i]);
    std::vector<uint32_t> distinct = keys;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());

    indices.resize(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        indices[i] =
            static_cast<uint32_t>(std::lower_bound(distinct.begin(), distinct.end(), keys[i]) - distinct.begin());

    RasterPalette palette;
    palette.lanes.resize(distinct.size() + 1, 0);
    palette.bytes.resize(distinct.size() + 1, 0);
    for (size_t i = 0; i < distinct.size(); ++i) {
        const uint64_t red = distinct[i] >> 16;
        const uint64_t green = distinct[i] >> 8 & 0xFF;
        const uint64_t blue = distinct[i] & 0xFF;
        palette.lanes[i] = red | green << 16 | blue << 32;
        const uint8_t rgb[4] = {static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue), 0};
        std::memcpy(&palette.bytes[i], rgb, 4);
    }
    return palette;
}

}  // namespace fan
