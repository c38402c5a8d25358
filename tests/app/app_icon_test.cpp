#include "app/app_icon.h"

#include <gtest/gtest.h>

#include <FL/Fl_PNG_Image.H>

#include <cstring>

#include "app/icon/png_encoder.h"

namespace fan {
namespace {

// The installed PNG holds exactly the pixels the window icon gets: decoded
// by the toolkit's own PNG reader, at a size within one deflate block and at
// one that needs several.
TEST(AppIcon, PngFileHoldsTheDrawnPixels) {
    for (const int size : {32, 256}) {
        const std::vector<unsigned char> pixels = drawAppIcon(size);
        const std::vector<unsigned char> png = encodePng(pixels, size, size);
        Fl_PNG_Image decoded("icon", png.data(), int(png.size()));
        ASSERT_EQ(decoded.fail(), 0) << size;
        ASSERT_EQ(decoded.w(), size);
        ASSERT_EQ(decoded.h(), size);
        ASSERT_EQ(decoded.d(), 4);
        EXPECT_EQ(std::memcmp(decoded.data()[0], pixels.data(), pixels.size()), 0) << size;

        auto alpha = [&](int x, int y) { return pixels[(size_t(y) * size + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << "the tile's corners are rounded";
        EXPECT_EQ(alpha(size / 2, 1), 255);
        EXPECT_EQ(alpha(size / 2, size / 2), 255);
    }
    EXPECT_TRUE(encodePng(drawAppIcon(8), 8, 9).empty());
}

}  // namespace
}  // namespace fan
