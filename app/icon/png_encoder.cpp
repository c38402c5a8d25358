#include "app/icon/png_encoder.h"

#include <png.h>

#include <cstddef>

namespace fan {

std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgba, int width, int height) {
    if (width <= 0 || height <= 0 || rgba.size() / 4 / size_t(width) < size_t(height)) return {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    // The first call only measures; the second writes into a buffer of that size.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
    std::vector<unsigned char> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
    png.resize(size);
    return png;
}

}  // namespace fan
