// Colours and text as drawn: what the two palettes hand to the toolkit, the
// colour helpers, the check box's frame judged by what the eye needs
// (contrast), the rounded outline and the text helpers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <utility>

#include "ui/check_box.h"
#include "ui/draw_helpers.h"
#include "ui/emboss_panel.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

// The contrast ratio of two colours as the web accessibility guidelines
// define it, from 1 (the same) to 21 (black on white).
double contrast(Fl_Color a, Fl_Color b) {
    auto luminance = [](Fl_Color colour) {
        uchar rgb[3];
        Fl::get_color(colour, rgb[0], rgb[1], rgb[2]);
        double sum = 0;
        for (const auto& [i, weight] : {std::pair{0, 0.2126}, {1, 0.7152}, {2, 0.0722}}) {
            const double c = rgb[i] / 255.0;
            sum += weight * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(PaletteTest, EachThemeReachesTheToolkit) {
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        applyPalette(dark);
        EXPECT_EQ(hex(FL_BACKGROUND_COLOR), hex(themeBackground));
        EXPECT_EQ(hex(FL_BACKGROUND2_COLOR), hex(themeControl));
        // background2 picks a contrasting foreground of its own; ours must win.
        EXPECT_EQ(hex(FL_FOREGROUND_COLOR), hex(themeText));
        EXPECT_EQ(hex(FL_SELECTION_COLOR), hex(themeAccent));
        EXPECT_EQ(hex(Fl_Tooltip::color()), hex(themeSurface));
        EXPECT_EQ(hex(Fl_Tooltip::textcolor()), hex(themeText));
    }
}

// Black is index 56: a colour of 0 would be read as the foreground colour.
TEST(PaletteTest, ShadeAndBlendClampRoundAndNeverGiveIndexZero) {
    const struct {
        const char* name;
        Fl_Color made, expected;
    } rows[] = {
        {"shade up, clamped at 255", shadeColor(0x0A00FF00, 26), 0x241AFF00},
        {"shade down, clamped at 0", shadeColor(0x05F00500, -10), 0x00E60000},
        {"shade down to black", shadeColor(0x05050500, -10), FL_BLACK},
        {"blend weight above 1", blendColors(0x10203000, 0x20304000, 1.5), 0x10203000},
        {"blend weight below 0", blendColors(0x10203000, 0x20304000, -1.0), 0x20304000},
        {"blend halves round up", blendColors(FL_BLACK, 0x01010100, 0.5), 0x01010100},
        {"blend down to black", blendColors(0x01000000, FL_BLACK, 0.4), FL_BLACK},
    };
    for (const auto& row : rows)
        EXPECT_EQ(hex(row.made), hex(row.expected)) << row.name;
}

// Under the scheme the program runs with.
TEST(CheckBoxTest, AnUncheckedBoxShowsItsFrameOnAPanelInBothThemes) {
    Fl::scheme("gtk+");
    EmbossPanel panel(0, 0, 200, 28, 0);
    CheckBox check(0, 0, 200, 28, "x");
    check.labelsize(13);
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        applyPalette(dark);
        const Canvas canvas(200, 28, [&] {
            panel.draw();
            check.draw();
        });
        // The box spans 2..14 across and 7..19 down; its left edge half way.
        EXPECT_GE(contrast(canvas.at(2, 13), canvas.at(1, 13)), 3.0) << canvas.hexAt(2, 13);
    }
    Fl::scheme("none");
}

constexpr Fl_Color kInk = 0x20406000;

// A 60 x 30 outline at (10, 10), radius 6.
TEST(DrawHelpersTest, OutlineLiesOnTheLastRowAndColumnWithArcsInside) {
    const int x = 10;
    const int y = 10;
    const int right = x + 60;
    const int bottom = y + 30;
    const int rr = 6;
    const Canvas c(90, 60, [&] { strokeRoundedBox(x, y, 60, 30, rr, kInk); });
    const struct {
        const char* name;
        int x, y;
        Fl_Color colour;
    } pixels[] = {{"top edge", 40, y, kInk},
                  {"bottom edge on the last row", 40, bottom - 1, kInk},
                  {"left edge", x, 25, kInk},
                  {"right edge on the last column", right - 1, 25, kInk},
                  {"right edge's first pixel", right - 1, y + rr, kInk},
                  {"corner left out", x, y, testing::kUntouched},
                  {"inside", 40, 25, testing::kUntouched}};
    for (const auto& p : pixels)
        EXPECT_EQ(c.hexAt(p.x, p.y), hex(p.colour)) << p.name;
    // The arcs end one pixel short of the last column and row: those hold
    // only the straight edges. Every corner is closed.
    EXPECT_EQ(c.inkIn(right - 1, y, 1, rr), 0) << "last column above the edge";
    EXPECT_EQ(c.inkIn(x, bottom - 1, rr, 1), 0) << "last row left of the edge";
    for (const int cx : {x, right - rr})
        for (const int cy : {y, bottom - rr})
            EXPECT_GT(c.inkIn(cx, cy, rr, rr), 0) << "corner at " << cx << "," << cy;
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
