// StatusBar: the rounded box, and its one line of text read at draw time.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <string>

#include "ui/palette.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }
};

TEST_F(StatusBarTest, WithoutTextOnlyTheBoxIsDrawn) {
    StatusBar bar(0, 0, 300, 24, nullptr);
    Canvas c(300, 24, [&] { bar.draw(); });
    EXPECT_EQ(c.countIn(16, 1, 268, 22, themeSurface), 268 * 22);  // between the corners
    EXPECT_EQ(c.hexAt(150, 0), hex(themeBorder));
    EXPECT_EQ(c.hexAt(150, 23), hex(themeBorder));
    EXPECT_TRUE(c.untouched(0, 0));
}

TEST_F(StatusBarTest, TextIsReadWhenDrawingAndClippedToItsBox) {
    std::string status;
    StatusBar bar(0, 0, 200, 24, &status);
    const int boxPixels = 172 * 20;  // the text box: (14, 2, w - 28, h - 4)
    EXPECT_EQ(Canvas(200, 24, [&] { bar.draw(); }).countIn(14, 2, 172, 20, themeSurface),
              boxPixels);

    status = std::string(80, 'W');  // far longer than the bar
    Canvas c(200, 24, [&] { bar.draw(); });
    EXPECT_LT(c.countIn(14, 2, 172, 20, themeSurface), boxPixels);  // ink appeared
    // Plain box right of the text box, up to the corner: the line is cut there.
    EXPECT_EQ(c.countIn(186, 2, 5, 20, themeSurface), 5 * 20);
}

TEST_F(StatusBarTest, TextIsCentredInTheBarsInnerBox) {
    // Inner box (14, 2, w - 28, h - 4), size 11. Glyphs with flat feet and
    // no descenders end on the row just above the baseline.
    std::string status = "FILE 1147 KiB";
    StatusBar bar(0, 0, 200, 24, &status);
    Canvas c(200, 24, [&] { bar.draw(); });
    fl_font(FL_HELVETICA, 11);
    const int baseline = 2 + (fl_height() + 20) / 2 - fl_descent();
    EXPECT_EQ(c.lowestRowNot(themeSurface, 14, 2, 172, 20), baseline - 1);
    EXPECT_GT(c.countIn(14, 2, 172, 20, themeTextDim), 0);  // in the dim colour
}

}  // namespace
}  // namespace fan
