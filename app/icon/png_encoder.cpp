// PNG chunks, the zlib wrapper and stored deflate blocks.
#include "app/icon/png_encoder.h"

#include <algorithm>
#include <cstdint>

namespace fan {

namespace {

using Bytes = std::vector<unsigned char>;

uint32_t crc32(const unsigned char* data, size_t length, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const Bytes& data) {
    uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void putChunk(Bytes& out, const char* type, const Bytes& body) {
    putBigEndian(out, static_cast<uint32_t>(body.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBigEndian(out, crc32(&out[typeAt], out.size() - typeAt));
}

// A zlib stream of stored blocks: no compression, at most 65535 bytes each.
Bytes zlibStored(const Bytes& raw) {
    Bytes out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<unsigned char>(length & 0xFF));
        out.push_back(static_cast<unsigned char>(length >> 8));
        out.push_back(static_cast<unsigned char>(~length & 0xFF));
        out.push_back(static_cast<unsigned char>((~length >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    putBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

Bytes encodePng(const Bytes& rgba, int width, int height) {
    if (width <= 0 || height <= 0 || rgba.size() < size_t(width) * height * 4) return {};
    const size_t row = size_t(width) * 4;
    Bytes raw;
    raw.reserve((row + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter type None
        raw.insert(raw.end(), rgba.begin() + y * row, rgba.begin() + (y + 1) * row);
    }

    Bytes header;
    putBigEndian(header, static_cast<uint32_t>(width));
    putBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlibStored(raw));
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace fan
