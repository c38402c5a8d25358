// Colours and text as drawn: what the two palettes hand to the toolkit, the
// check box's frame judged by what the eye needs (contrast), and the text
// helpers.
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
