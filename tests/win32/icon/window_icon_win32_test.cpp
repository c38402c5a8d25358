// The icon group 101 as the program loads it: every size Windows asks for,
// carrying the program's own art.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/app_icon.h"

namespace fan {
namespace {

// The loaded icon's colour pixels as 32-bit BGRA, rows top to bottom.
std::vector<unsigned char> loadedPixels(int size) {
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), IMAGE_ICON, size, size, LR_SHARED));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAPINFO bmi{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<unsigned char> pixels(size_t(size) * size * 4);
    const HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return rows == size ? pixels : std::vector<unsigned char>();
}

TEST(WindowIcon, EverySizeLoadsWithTheProgramsArt) {
    for (int size : {16, 20, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> got = loadedPixels(size);
        ASSERT_EQ(got.size(), size_t(size) * size * 4);
        // Every opaque pixel of the art (RGBA) comes back as drawn (BGRA).
        const std::vector<unsigned char> drawn = drawAppIcon(size);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.size(); i += 4) {
            const bool same = got[i + 2] == drawn[i] && got[i + 1] == drawn[i + 1] && got[i] == drawn[i + 2];
            differing += drawn[i + 3] == 255 && !same;
        }
        EXPECT_EQ(differing, 0u);
    }
}

}  // namespace
}  // namespace fan
