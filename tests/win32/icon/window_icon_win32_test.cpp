// The icon group 101 as the program loads it: every size Windows asks for,
// carrying the program's own art.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/app_icon.h"

namespace fan {
namespace {

// The icon's pixels as 32-bit BGRA, rows top to bottom.
std::vector<unsigned char> pixelsOf(HICON icon, int size) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = size;
    bmi.bmiHeader.biHeight = -size;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(size_t(size) * size * 4);
    const HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    if (rows != size) return {};
    return pixels;
}

TEST(WindowIcon, EverySizeLoadsWithTheProgramsArt) {
    for (int size : {16, 20, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), IMAGE_ICON, size, size, LR_SHARED));
        ASSERT_NE(icon, nullptr);
        const std::vector<unsigned char> got = pixelsOf(icon, size);
        ASSERT_EQ(got.size(), size_t(size) * size * 4);
        // An opaque pixel of the art (red, green, blue) comes back as it was
        // drawn (blue, green, red), so the image is the program's and whole.
        const std::vector<unsigned char> drawn = drawAppIcon(size);
        size_t compared = 0;
        for (size_t i = 0; i < drawn.size(); i += 4) {
            if (drawn[i + 3] != 255) continue;
            EXPECT_EQ(got[i + 2], drawn[i]);
            EXPECT_EQ(got[i + 1], drawn[i + 1]);
            EXPECT_EQ(got[i], drawn[i + 2]);
            ++compared;
        }
        EXPECT_GT(compared, size_t(size) * size / 4);
    }
    EXPECT_EQ(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102), IMAGE_ICON, 32, 32, LR_SHARED), nullptr);
}

}  // namespace
}  // namespace fan
