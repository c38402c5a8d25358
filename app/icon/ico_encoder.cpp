#include "app/icon/ico_encoder.h"

#include <cstddef>
#include <cstdint>

namespace fan {
namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The 1-bit transparency mask rows are padded to whole 32-bit words.
size_t maskLineBytes(int size) {
    return (size_t(size) + 31) / 32 * 4;
}

size_t bitmapBytes(int size) {
    return 40 + size_t(size) * size * 4 + maskLineBytes(size) * size;
}

// A BITMAPINFOHEADER of twice the height (colour and mask stacked), the
// BGRA colour rows and the mask rows, both bottom to top. Windows draws
// from the alpha channel; the mask marks the fully transparent pixels for
// readers that do not.
void putBitmap(Bytes& out, const IcoImage& image) {
    const int size = image.size;
    put32(out, 40);
    put32(out, static_cast<uint32_t>(size));
    put32(out, static_cast<uint32_t>(size) * 2);
    put16(out, 1);   // colour planes
    put16(out, 32);  // bits per pixel
    put32(out, 0);   // no compression
    put32(out, static_cast<uint32_t>(bitmapBytes(size) - 40));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);  // resolution and palette, unused
    const size_t line = size_t(size) * 4;
    for (int y = size - 1; y >= 0; --y) {
        const unsigned char* p = image.rgba.data() + size_t(y) * line;
        for (int x = 0; x < size; ++x, p += 4)
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes mask(maskLineBytes(size), 0);
        const unsigned char* p = image.rgba.data() + size_t(y) * line;
        for (int x = 0; x < size; ++x)
            if (p[size_t(x) * 4 + 3] == 0) mask[size_t(x) / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        out.insert(out.end(), mask.begin(), mask.end());
    }
}

}  // namespace

Bytes encodeIco(const std::vector<IcoImage>& images) {
    if (images.empty() || images.size() > 0xFFFF) return {};
    for (const IcoImage& image : images)
        if (image.size < 1 || image.size > 256 || image.rgba.size() < size_t(image.size) * image.size * 4) return {};

    Bytes out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IcoImage& image : images) {
        const unsigned char side = static_cast<unsigned char>(image.size == 256 ? 0 : image.size);  // 0 means 256
        const auto bytes = static_cast<uint32_t>(bitmapBytes(image.size));
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // colour planes
        put16(out, 32);    // bits per pixel
        put32(out, bytes);
        put32(out, offset);
        offset += bytes;
    }
    for (const IcoImage& image : images)
        putBitmap(out, image);
    return out;
}

}  // namespace fan
