// What main installs before the first window: the two palettes judged by
// what the eye needs (contrast) and what they hand to the toolkit, and the
// colour helpers.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <utility>

#include "ui/check_box.h"
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

TEST(PaletteTest, EachThemeIsReadableAndReachesTheToolkit) {
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        applyPalette(dark);
        EXPECT_EQ(darkTheme, dark ? 1 : 0);
        for (const Fl_Color fill : {themeBackground, themeSurface, themeControl, themeControlHover}) {
            EXPECT_GE(contrast(themeText, fill), 7.0) << hex(fill);
            EXPECT_GE(contrast(themeTextDim, fill), 4.5) << hex(fill);
        }
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

// Black is index 56: 0 would be read as the foreground colour.
TEST(PaletteTest, ShadeClampsEachChannelAndNeverGivesIndexZero) {
    EXPECT_EQ(shadeColor(0x0A00FF00, 26), 0x241AFF00u);
    EXPECT_EQ(shadeColor(0x05F00500, -10), 0x00E60000u);
    EXPECT_EQ(shadeColor(0x05050500, -10), FL_BLACK);
}

TEST(PaletteTest, BlendClampsItsWeightRoundsAndNeverGivesIndexZero) {
    EXPECT_EQ(blendColors(0x10203000, 0x20304000, 1.5), 0x10203000u);
    EXPECT_EQ(blendColors(FL_BLACK, 0x01010100, 0.5), 0x01010100u);  // halves round up
    EXPECT_EQ(blendColors(0x01000000, FL_BLACK, 0.4), FL_BLACK);
}

}  // namespace
}  // namespace fan
