// The interface fonts: Cyrillic renders, and font 1 is the bold face.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/fonts.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;

// The test environment already installed the fonts the way main does.
TEST(InterfaceFontsTest, CyrillicTextHasInkAndWidth) {
    installInterfaceFonts();  // a second call changes nothing
    fl_font(FL_HELVETICA, 16);
    const double width = fl_width("Очистка корзины");
    EXPECT_GT(width, 80.0);
    EXPECT_GT(fl_width("Ж"), fl_width("l"));
    Canvas c(200, 30, [] { drawTextLeft("Очистка корзины", 5, 0, 190, 30, 16, 0x10203000); });
    EXPECT_GT(c.inkIn(5, 0, 190, 30), 100);
}

TEST(InterfaceFontsTest, FontOneIsTheBoldFaceOfFontZero) {
    fl_font(FL_HELVETICA, 24);
    const double regular = fl_width("fanOrbiter ОК");
    fl_font(FL_HELVETICA_BOLD, 24);
    const double bold = fl_width("fanOrbiter ОК");
    EXPECT_GT(bold, regular);  // DejaVu Sans Bold runs wider than DejaVu Sans
    EXPECT_LT(bold, regular * 1.3);
}

}  // namespace
}  // namespace fan
