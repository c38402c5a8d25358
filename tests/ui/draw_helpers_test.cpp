// Pixel checks of the rounded boxes, the soft panel and the text helpers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

constexpr Fl_Color kInk = 0x20406000;

Canvas filled(int side, int w, int h, int radius) {
    return Canvas(side, side, [=] { fillRoundedBox(5, 5, w, h, radius, kInk); });
}

TEST(DrawHelpersTest, FillIsPlainWithoutRadius) {
    for (const auto& [w, h, radius] : {std::tuple{30, 20, -4}, {1, 20, 9}}) {
        const Canvas c = filled(40, w, h, radius);
        EXPECT_EQ(c.countIn(5, 5, w, h, kInk), w * h) << w << "x" << h;
        EXPECT_EQ(c.inkIn(0, 0, 40, 40), w * h);
    }
}

TEST(DrawHelpersTest, FillClampsALargeRadiusToHalfTheSmallerSide) {
    // Half the smaller side, halved downwards: 40 x 20 allows 10, 7 wide allows 3.
    const Canvas clamped = filled(60, 40, 20, 50);
    EXPECT_TRUE(clamped.sameAs(filled(60, 40, 20, 10)));
    EXPECT_TRUE(clamped.untouched(5, 5));
    EXPECT_EQ(clamped.countIn(5, 15, 40, 1, kInk), 40);
    EXPECT_EQ(clamped.inkIn(0, 0, 60, 60), clamped.inkIn(5, 5, 40, 20));
    EXPECT_TRUE(filled(50, 7, 40, 100).sameAs(filled(50, 7, 40, 3)));
}

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
    EXPECT_EQ(c.inkIn(0, 0, 90, 60), c.inkIn(x, y, w, h));
    // The right-hand arcs end one column short: the last column holds only
    // the straight edge, from y + rr down; every corner is closed.
    EXPECT_EQ(c.inkIn(right - 1, y, 1, rr), 0);
    EXPECT_EQ(c.at(right - 1, y + rr), kInk);
    EXPECT_TRUE(c.untouched(x, y));
    for (const int cx : {x, right - rr})
        for (const int cy : {y, bottom - rr})
            EXPECT_GT(c.inkIn(cx, cy, rr, rr), 0);
}

// A 100 x 60 panel at (10, 10) with radius 10, or 1, which insets the
// highlight and the shadow by 2.
TEST(DrawHelpersTest, SoftPanelLightsTopLeftAndShadesBottomRight) {
    for (const bool dark : {true, false}) {
        applyPalette(dark);
        const Fl_Color bg = dark ? themeSurface : 0x80808000;  // light: fixed colours on any
        const Fl_Color border = dark ? shadeColor(themeBorder, -8) : 0xB8C6D400;
        const Fl_Color light = dark ? fl_color_average(themeText, bg, 0.08f) : 0xFBFDFF00;
        const Fl_Color shadow = dark ? fl_color_average(themeBackground, bg, 0.7f) : 0xCDD8E200;
        for (const int r : {10, 1}) {
            const Canvas c(140, 90, [&] { drawSoftPanel(10, 10, 100, 60, r, bg); });
            const int inset = r == 1 ? 2 : r - 2;
            const struct {
                const char* name;
                int x, y;
                Fl_Color colour;
            } probes[] = {{"top edge", 60, 10, border},
                          {"right edge", 109, 40, border},
                          {"top highlight", 60, 11, light},
                          {"left highlight", 11, 40, light},
                          {"bottom shadow", 10 + inset, 68, shadow},
                          {"right shadow", 108, 10 + inset, shadow},
                          {"inside", 60, 40, bg}};
            for (const auto& p : probes)
                EXPECT_EQ(c.hexAt(p.x, p.y), hex(p.colour)) << (dark ? "dark " : "light ") << r << ": " << p.name;
        }
    }
    applyPalette(true);
}

TEST(DrawHelpersTest, TextStaysInItsBoxAndTheClip) {
    const std::string longText(60, 'W');
    const Canvas centred(200, 60, [&] { drawTextVCentered(longText, 20, 10, 80, 30, 14, kInk); });
    const Canvas left(200, 60, [&] { drawTextLeft(longText, 20, 10, 80, 30, 14, kInk); });
    for (const Canvas* c : {&centred, &left}) {
        EXPECT_GT(c->inkIn(20, 10, 10, 30), 0);  // starts at the left edge
        EXPECT_EQ(c->inkIn(0, 0, 200, 60), c->inkIn(20, 10, 80, 30));
    }
    EXPECT_EQ(centred.rightmostInk(0, 60), 99);
    const Canvas clipped(200, 60, [] {
        fl_push_clip(0, 0, 40, 60);
        drawTextVCentered("WWWWWWWWWW", 10, 10, 150, 30, 14, kInk);
        drawTextLeft("Hidden", 100, 10, 80, 30, 14, kInk);
        fl_pop_clip();
    });
    EXPECT_EQ(clipped.rightmostInk(0, 60), 39);
}

TEST(DrawHelpersTest, AlignedTextKeepsToTheSideAsked) {
    const Canvas right(200, 40, [] { drawTextAligned("Abc", 10, 5, 180, 30, 14, kInk, FL_ALIGN_RIGHT); });
    EXPECT_GT(right.rightmostInk(0, 40), 180);
    EXPECT_EQ(right.inkIn(0, 0, 150, 40), 0);
    const Canvas top(200, 60, [] { drawTextAligned("Abc", 10, 5, 180, 50, 14, kInk, FL_ALIGN_TOP | FL_ALIGN_LEFT); });
    EXPECT_GT(top.inkIn(10, 5, 40, 20), 0);
    EXPECT_EQ(top.inkIn(0, 30, 200, 30), 0);
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
    EXPECT_GT(c.rightmostInk(0, 40), 10 + stem + (whole - stem) / 2);
}

TEST(DrawHelpersTest, ALineShowsBadBytesAndControlCharactersVisibly) {
    const Canvas odd(300, 40, [] { drawTextVCentered("a\tb\xFF", 10, 5, 280, 30, 14, kInk); });
    const Canvas shown(300, 40, [] { drawTextVCentered("a\\tb\uFFFD", 10, 5, 280, 30, 14, kInk); });
    EXPECT_TRUE(odd.sameAs(shown));
}

}  // namespace
}  // namespace fan
