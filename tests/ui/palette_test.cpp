// The two palettes, what they hand to the toolkit, and the colour helpers.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::hex;

struct PaletteCase {
    const char* name;
    const Fl_Color* colour;
    Fl_Color dark;
    Fl_Color light;
};

const PaletteCase kPalette[] = {
    {"themeBackground", &themeBackground, 0x0F141A00, 0xF6F8FB00},
    {"themeSurface", &themeSurface, 0x171D2400, 0xFFFFFF00},
    {"themeControl", &themeControl, 0x1D252E00, 0xEEF2F600},
    {"themeControlHover", &themeControlHover, 0x252F3A00, 0xE2E9F000},
    {"themeText", &themeText, 0xEFF4F700, 0x1B232B00},
    {"themeTextDim", &themeTextDim, 0x9AA9B500, 0x5B697600},
    {"themeAccent", &themeAccent, 0x6DDBB700, 0x2BB48F00},
    {"themeBorder", &themeBorder, 0x303C4800, 0xCCD6E000},
    {"themeOnAccent", &themeOnAccent, 0x0C1F1D00, 0xFFFFFF00},
    {"themeDanger", &themeDanger, 0xE05B5B00, 0xC2393400},
    {"themeUsedSpace", &themeUsedSpace, 0x6E649100, 0x7A70A000},
    {"themeGreySector", &themeGreySector, 0x3D4B5800, 0xC6CFD800},
    {"themeFreeSpace", &themeFreeSpace, 0xEFF4F700, 0xFFFFFF00},
};

class PaletteTest : public ::testing::Test {
protected:
    void TearDown() override { applyPalette(true); }
};

void expectToolkitColours(const char* theme) {
    SCOPED_TRACE(theme);
    EXPECT_EQ(hex(FL_BACKGROUND_COLOR), hex(themeBackground));
    EXPECT_EQ(hex(FL_BACKGROUND2_COLOR), hex(themeControl));
    // background2 picks a contrasting foreground of its own; ours must win.
    EXPECT_EQ(hex(FL_FOREGROUND_COLOR), hex(themeText));
    EXPECT_EQ(hex(FL_SELECTION_COLOR), hex(themeAccent));
}

TEST_F(PaletteTest, EachThemeSetsAllThirteenColoursAsStoredValues) {
    applyPalette(false);
    EXPECT_EQ(darkTheme, 0);
    for (const PaletteCase& c : kPalette) EXPECT_EQ(*c.colour, c.light) << c.name;
    expectToolkitColours("light");

    applyPalette(true);
    EXPECT_EQ(darkTheme, 1);
    for (const PaletteCase& c : kPalette) EXPECT_EQ(*c.colour, c.dark) << c.name;
    expectToolkitColours("dark after light");
}

struct ShadeCase {
    Fl_Color in;
    int delta;
    Fl_Color out;
};

TEST(ShadeColorTest, AddsToEachChannelAndClamps) {
    const ShadeCase cases[] = {
        {0xFFFFFF00, 8, 0xFFFFFF00},   // clamped at 255
        {0x303C4800, -8, 0x28344000},  // the dark panel border
        {0x303C4800, 14, 0x3E4A5600},  // a hovered button border
        {0x40608000, -10, 0x36567600}, // a pressed button
        {0x0A00FF00, 26, 0x241AFF00},  // mixed: one channel clamps, one rises from 0
        {0x05F00500, -10, 0x00E60000}, // some channels reach 0, not all
        {FL_RED, -10, 0xF5000000},     // indexed colours go through the colour map
        {FL_WHITE, -8, 0xF7F7F700},
    };
    for (const ShadeCase& c : cases)
        EXPECT_EQ(shadeColor(c.in, c.delta), c.out) << hex(c.in) << " by " << c.delta;
}

TEST(ShadeColorTest, PureBlackIsTheBlackIndexNotZero) {
    EXPECT_EQ(shadeColor(0x05050500, -10), FL_BLACK);
    EXPECT_EQ(shadeColor(FL_BLACK, 0), FL_BLACK);
    EXPECT_EQ(FL_BLACK, Fl_Color(56));
}

struct BlendCase {
    Fl_Color a;
    Fl_Color b;
    double t;
    Fl_Color out;
};

TEST(BlendColorsTest, RoundsHalvesUpAndClampsTheWeight) {
    const BlendCase cases[] = {
        {0x10203000, 0x20304000, 1.5, 0x10203000},   // weight above 1: a
        {0x10203000, 0x20304000, -1.0, 0x20304000},  // weight below 0: b
        {FL_BLACK, 0x01010100, 0.5, 0x01010100},     // 0.5 rounds up
        {0xFF000000, 0x0000FF00, 0.5, 0x80008000},   // 127.5 -> 128
        {0x10203000, 0x20304000, 0.25, 0x1C2C3C00},
        {FL_WHITE, FL_BLACK, 0.0, FL_BLACK},         // indexed inputs
        {FL_WHITE, FL_BLACK, 0.1, 0x1A1A1A00},       // 25.5 -> 26
    };
    for (const BlendCase& c : cases)
        EXPECT_EQ(blendColors(c.a, c.b, c.t), c.out)
            << hex(c.a) << " over " << hex(c.b) << " at " << c.t;
}

TEST(BlendColorsTest, DiffersFromTheToolkitsTruncatingAverage) {
    // Where a caller names fl_color_average it gets 127, blendColors gives 128.
    EXPECT_EQ(fl_color_average(0xFF000000, 0x0000FF00, 0.5f), Fl_Color(0x7F007F00));
    EXPECT_EQ(blendColors(0xFF000000, 0x0000FF00, 0.5), Fl_Color(0x80008000));
}

TEST(BlendColorsTest, PureBlackIsTheBlackIndexNotZero) {
    EXPECT_EQ(blendColors(FL_BLACK, FL_BLACK, 0.5), FL_BLACK);
    EXPECT_EQ(blendColors(0x01000000, FL_BLACK, 0.4), FL_BLACK);  // 0.4 rounds to 0
}

}  // namespace
}  // namespace fan
