// The interface fonts: which faces fonts 0 and 1 name, and Cyrillic renders.
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
    fl_font(FL_HELVETICA, 16);
    const double width = fl_width("Очистка корзины");
    EXPECT_GT(width, 80.0);
    EXPECT_GT(fl_width("Ж"), fl_width("l"));
    Canvas c(200, 30, [] { drawTextLeft("Очистка корзины", 5, 0, 190, 30, 16, 0x10203000); });
    EXPECT_GT(c.inkIn(5, 0, 190, 30), 100);
}

double widthIn(Fl_Font font) {
    fl_font(font, 24);
    return fl_width("fanOrbiter Очистка 1024");
}

// Fonts 0 and 1 start out as another face; installing names them DejaVu Sans
// and its bold face, measured against spare font slots given those faces.
TEST(InterfaceFontsTest, NamesDejaVuSansAndItsBoldFace) {
    const Fl_Font serif = FL_FREE_FONT, serifBold = FL_FREE_FONT + 1;
    const Fl_Font sans = FL_FREE_FONT + 2, sansBold = FL_FREE_FONT + 3;
    Fl::set_font(serif, " DejaVu Serif");
    Fl::set_font(serifBold, "BDejaVu Serif");
    Fl::set_font(sans, " DejaVu Sans");
    Fl::set_font(sansBold, "BDejaVu Sans");
    Fl::set_font(FL_HELVETICA, " DejaVu Serif");
    Fl::set_font(FL_HELVETICA_BOLD, "BDejaVu Serif");
    // The faces measure differently, or the checks below could not tell.
    EXPECT_NE(widthIn(FL_HELVETICA), widthIn(sans));
    EXPECT_NE(widthIn(FL_HELVETICA_BOLD), widthIn(sansBold));
    EXPECT_NE(widthIn(sans), widthIn(sansBold));

    installInterfaceFonts();
    EXPECT_EQ(widthIn(FL_HELVETICA), widthIn(sans));
    EXPECT_NE(widthIn(FL_HELVETICA), widthIn(serif));
    EXPECT_EQ(widthIn(FL_HELVETICA_BOLD), widthIn(sansBold));
    EXPECT_NE(widthIn(FL_HELVETICA_BOLD), widthIn(serifBold));
}

}  // namespace
}  // namespace fan
