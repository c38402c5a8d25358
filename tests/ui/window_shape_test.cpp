// The bands that make a rounded window outline. Shown windows cut to them
// are checked on the screen by the dialog tests.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl_Double_Window.H>

#include <vector>

#include "ui/window_shape.h"

namespace fan {
namespace {

// Which pixels of a w x h window the spans cover, each at most once.
std::vector<std::vector<bool>> coverage(int w, int h, int diameter) {
    std::vector<std::vector<bool>> in(size_t(h), std::vector<bool>(size_t(w), false));
    for (const ShapeSpan& s : roundedRectangleSpans(w, h, diameter))
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + s.w; ++x) {
                EXPECT_FALSE(in[size_t(y)][size_t(x)]) << "covered twice: " << x << ", " << y;
                in[size_t(y)][size_t(x)] = true;
            }
    return in;
}

TEST(WindowShapeTest, CornersAreCutAlikeAndEachRowCutsNoMoreThanTheOneAbove) {
    const int w = 520, h = 226;
    const auto in = coverage(w, h, 32);
    EXPECT_FALSE(in[0][11]);  // a radius of 16 cuts 12 pixels off the first row
    EXPECT_TRUE(in[0][12]);
    EXPECT_TRUE(in[16][0]);   // below the corner zone the rows are whole
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(in[size_t(y)][size_t(x)], in[size_t(y)][size_t(w - 1 - x)]) << x << "," << y;
            ASSERT_EQ(in[size_t(y)][size_t(x)], in[size_t(h - 1 - y)][size_t(x)]) << x << "," << y;
            ASSERT_TRUE(y == 0 || y >= h / 2 || !in[size_t(y - 1)][size_t(x)] || in[size_t(y)][size_t(x)]);
        }
}

TEST(WindowShapeTest, DegenerateSizesAndWindowsNotShown) {
    EXPECT_TRUE(roundedRectangleSpans(0, 10, 8).empty());
    EXPECT_TRUE(roundedRectangleSpans(10, -1, 8).empty());
    const auto square = roundedRectangleSpans(30, 20, 1);  // no rounding below 2
    ASSERT_EQ(square.size(), 1u);
    EXPECT_EQ(square[0].w * square[0].h, 600);
    const auto pill = coverage(40, 10, 500);  // clamped to the smaller side
    EXPECT_FALSE(pill[0][0]);
    EXPECT_TRUE(pill[5][0]);
    EXPECT_TRUE(pill[0][20]);
    Fl_Double_Window hidden(200, 100);
    hidden.end();
    EXPECT_FALSE(applyRoundedWindowShape(&hidden, 32));
    EXPECT_FALSE(applyRoundedWindowShape(nullptr, 32));
}

}  // namespace
}  // namespace fan
