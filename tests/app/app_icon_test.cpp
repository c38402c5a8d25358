#include "app/app_icon.h"

#include <gtest/gtest.h>

#include <FL/Fl_PNG_Image.H>

#include <algorithm>

#include "app/icon/png_encoder.h"

namespace fan {
namespace {

// The installed PNG holds the very pixels of the window icon, transparent
// corners included, read back by the toolkit's PNG reader.
TEST(AppIcon, PngFileHoldsTheDrawnPixels) {
    const int size = 256;
    const std::vector<unsigned char> pixels = drawAppIcon(size);
    const std::vector<unsigned char> png = encodePng(pixels, size, size);
    Fl_PNG_Image decoded("icon", png.data(), int(png.size()));
    ASSERT_EQ(decoded.fail(), 0);
    ASSERT_EQ(decoded.w(), size);
    ASSERT_EQ(decoded.h(), size);
    ASSERT_EQ(decoded.d(), 4);
    const auto* decodedPixels = reinterpret_cast<const unsigned char*>(decoded.data()[0]);
    const auto firstDifference = std::mismatch(pixels.begin(), pixels.end(), decodedPixels).first;
    EXPECT_EQ(firstDifference - pixels.begin(), std::ptrdiff_t(pixels.size())) << "first byte that differs";
    EXPECT_EQ(pixels[3], 0) << "rounded corner";
    EXPECT_EQ(pixels[(size_t(size) * size / 2 + size / 2) * 4 + 3], 255) << "centre";
}

}  // namespace
}  // namespace fan
