// EmbossPanel: its colour per theme and the size below which it draws nothing.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/emboss_panel.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

class EmbossPanelTest : public ::testing::Test {
protected:
    void TearDown() override { applyPalette(true); }
};

TEST_F(EmbossPanelTest, PanelColourFollowsTheTheme) {
    EmbossPanel panel(10, 10, 100, 60, 15);
    applyPalette(true);
    Canvas dark(120, 80, [&] { panel.draw(); });
    EXPECT_EQ(dark.hexAt(60, 40), hex(fl_color_average(themeSurface, themeBackground, 0.82f)));
    EXPECT_EQ(dark.hexAt(60, 10), hex(shadeColor(themeBorder, -8)));
    EXPECT_TRUE(dark.untouched(11, 11));  // radius 15 cuts the corner

    applyPalette(false);
    Canvas light(120, 80, [&] { panel.draw(); });
    EXPECT_EQ(light.hexAt(60, 40), "#F4F8FC");
    EXPECT_EQ(light.hexAt(60, 10), "#B8C6D4");
}

TEST_F(EmbossPanelTest, FourPixelsWideOrHighDrawsNothing) {
    applyPalette(true);
    EmbossPanel narrow(10, 10, 4, 40, 3);
    EmbossPanel low(10, 10, 40, 4, 3);
    EmbossPanel smallest(10, 10, 5, 5, 3);
    EXPECT_EQ(Canvas(60, 60, [&] { narrow.draw(); }).inkIn(0, 0, 60, 60), 0);
    EXPECT_EQ(Canvas(60, 60, [&] { low.draw(); }).inkIn(0, 0, 60, 60), 0);
    EXPECT_GT(Canvas(60, 60, [&] { smallest.draw(); }).inkIn(0, 0, 60, 60), 0);
}

}  // namespace
}  // namespace fan
