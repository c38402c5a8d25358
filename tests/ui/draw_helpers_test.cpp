// Pixel checks of the text helpers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;

constexpr Fl_Color kInk = 0x20406000;

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
