// Pixel checks of the rounded outline and the text helpers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;

constexpr Fl_Color kInk = 0x20406000;

TEST(DrawHelpersTest, StrokeLiesOnTheLastRowAndColumnWithArcsInside) {
    const int x = 10;
    const int y = 10;
    const int w = 60;
    const int h = 30;
    const int rr = 6;
    const int right = x + w;
    const int bottom = y + h;
    const Canvas c(90, 60, [&] { strokeRoundedBox(x, y, w, h, rr, kInk); });
    for (const auto& [px, py] : {std::pair{40, y}, {40, bottom - 1}, {x, 25}, {right - 1, 25}})
        EXPECT_EQ(c.at(px, py), kInk) << px << "," << py;
    EXPECT_EQ(c.inkIn(x + 1, y + rr + 1, w - 2, h - 2 * rr - 4), 0);  // one pixel wide, hollow
    // The right-hand arcs end one column short: the last column holds only
    // the straight edge, from y + rr down.
    EXPECT_EQ(c.inkIn(right - 1, y, 1, rr), 0);
    EXPECT_EQ(c.at(right - 1, y + rr), kInk);
}

TEST(DrawHelpersTest, CentredLineSitsOnItsBaseline) {
    // Flat-footed glyphs without descenders end just above the baseline;
    // heights of both parities check that the halving truncates.
    fl_font(FL_HELVETICA, 14);
    for (const int h : {20, 31}) {
        const Canvas c(200, 60, [&] { drawTextVCentered("HELL 147", 20, 10, 160, h, 14, kInk); });
        EXPECT_EQ(c.lowestRowNot(testing::kUntouched, 0, 0, 200, 60), 10 + (fl_height() + h) / 2 - fl_descent() - 1);
    }
}

TEST(DrawHelpersTest, AtSignsAreText) {
    fl_font(FL_HELVETICA, 14);
    // With the toolkit's symbols on, "icon@2x.png" would end at "icon".
    const int stem = int(fl_width("icon"));
    const int whole = int(fl_width("icon@2x.png"));
    const Canvas c(300, 40, [] { drawTextLeft("icon@2x.png", 10, 5, 280, 30, 14, kInk); });
    const int tail = 10 + stem + (whole - stem) / 2;
    EXPECT_GT(c.inkIn(tail, 0, 300 - tail, 40), 0);
}

TEST(DrawHelpersTest, ALineShowsBadBytesAndControlCharactersVisibly) {
    const Canvas odd(300, 40, [] { drawTextVCentered("a\tb\xFF", 10, 5, 280, 30, 14, kInk); });
    const Canvas shown(300, 40, [] { drawTextVCentered("a\\tb\uFFFD", 10, 5, 280, 30, 14, kInk); });
    EXPECT_TRUE(odd.sameAs(shown));
}

}  // namespace
}  // namespace fan
