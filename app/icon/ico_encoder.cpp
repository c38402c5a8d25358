#include "app/icon/ico_encoder.h"

#include <cstdint>

namespace fan {
namespace {

void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<unsigned char> encodeIco(const std::vector<IcoImage>& images) {
    if (images.empty() || images.size() > 0xFFFF) return {};
    for (const IcoImage& image : images)
        if (image.size < 1 || image.size > 256) return {};

    std::vector<unsigned char> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IcoImage& image : images) {
        const unsigned char side = static_cast<unsigned char>(image.size == 256 ? 0 : image.size);  // 0 means 256
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // colour planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<uint32_t>(image.png.size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(image.png.size());
    }
    for (const IcoImage& image : images)
        out.insert(out.end(), image.png.begin(), image.png.end());
    return out;
}

}  // namespace fan
