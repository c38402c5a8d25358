// Rounded window outlines: the spans of the shape, and a real shown window
// whose corners show what lies beneath; the rectangular fallback.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <vector>

#include "ui/window_shape.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::hex;
using testing::screenPixel;
using testing::settle;

// Which pixels of a w x h window the spans cover, row by row.
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

TEST(RoundedRectangleSpansTest, CutsEachCornerSymmetrically) {
    const int w = 520, h = 226;
    const auto in = coverage(w, h, 32);
    EXPECT_FALSE(in[0][0]);
    EXPECT_FALSE(in[0][w - 1]);
    EXPECT_FALSE(in[h - 1][0]);
    EXPECT_FALSE(in[h - 1][w - 1]);
    EXPECT_FALSE(in[0][11]);  // a radius of 16 cuts 12 pixels off the first row
    EXPECT_TRUE(in[0][12]);
    EXPECT_TRUE(in[0][w / 2]);
    EXPECT_TRUE(in[16][0]);   // below the corner zone the rows are whole
    EXPECT_TRUE(in[h / 2][0]);
    EXPECT_TRUE(in[h / 2][w - 1]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(in[size_t(y)][size_t(x)], in[size_t(y)][size_t(w - 1 - x)]) << x << "," << y;
            ASSERT_EQ(in[size_t(y)][size_t(x)], in[size_t(h - 1 - y)][size_t(x)]) << x << "," << y;
        }
    // Each corner row cuts no more than the one above it.
    for (int y = 1; y < 16; ++y) {
        int prev = 0, cur = 0;
        while (!in[size_t(y - 1)][size_t(prev)]) ++prev;
        while (!in[size_t(y)][size_t(cur)]) ++cur;
        EXPECT_LE(cur, prev) << "row " << y;
    }
}

TEST(RoundedRectangleSpansTest, DegenerateSizes) {
    EXPECT_TRUE(roundedRectangleSpans(0, 10, 8).empty());
    EXPECT_TRUE(roundedRectangleSpans(10, -1, 8).empty());
    const auto square = roundedRectangleSpans(30, 20, 1);  // no rounding below 2
    ASSERT_EQ(square.size(), 1u);
    EXPECT_EQ(square[0].w * square[0].h, 600);
    // A diameter larger than the window is clamped to the smaller side.
    const auto pill = coverage(40, 10, 500);
    EXPECT_FALSE(pill[0][0]);
    EXPECT_TRUE(pill[5][0]);
    EXPECT_TRUE(pill[0][20]);
}

// A borderless window painted in one colour.
class SolidWindow : public Fl_Double_Window {
public:
    SolidWindow(int x, int y, int w, int h) : Fl_Double_Window(x, y, w, h) {
        clear_border();
        end();
    }
    void draw() override {
        fl_color(0x3070B000);
        fl_rectf(0, 0, w(), h());
    }
};

// Shown windows sit in the screen's lower right corner, away from where other
// test programs' main windows open ((0, 0) to (1120, 780)) on a shared server.
constexpr int kX = 1300, kY = 1000;

class ShownShapeTest : public ::testing::Test {
protected:
    void TearDown() override { setShapeSupportProbe(nullptr); }
};

TEST_F(ShownShapeTest, CornersShowWhatLiesBeneath) {
    const Fl_Color beneath = screenPixel(kX, kY);
    ASSERT_NE(hex(beneath), "#3070B0");  // else the corner checks prove nothing
    SolidWindow window(kX, kY, 200, 100);
    EXPECT_FALSE(applyRoundedWindowShape(&window, 32));  // not shown yet: nothing to shape
    window.show();
    settle();
    EXPECT_EQ(hex(screenPixel(kX, kY)), "#3070B0");  // rectangular until shaped
    ASSERT_TRUE(applyRoundedWindowShape(&window, 32));
    settle();
    EXPECT_EQ(hex(screenPixel(kX, kY)), hex(beneath));
    EXPECT_EQ(hex(screenPixel(kX + 199, kY + 99)), hex(beneath));
    EXPECT_EQ(hex(screenPixel(kX + 100, kY + 50)), "#3070B0");
    EXPECT_EQ(hex(screenPixel(kX, kY + 50)), "#3070B0");       // left edge, middle
    EXPECT_EQ(hex(screenPixel(kX + 12, kY)), "#3070B0");       // first row after the cut
    window.hide();
}

TEST_F(ShownShapeTest, WithoutTheExtensionTheWindowStaysRectangular) {
    setShapeSupportProbe([] { return false; });
    SolidWindow window(kX, kY, 200, 100);
    window.show();
    settle();
    EXPECT_FALSE(applyRoundedWindowShape(&window, 32));
    settle();
    EXPECT_EQ(hex(screenPixel(kX, kY)), "#3070B0");
    EXPECT_EQ(hex(screenPixel(kX + 199, kY + 99)), "#3070B0");
    window.hide();
}

}  // namespace
}  // namespace fan
