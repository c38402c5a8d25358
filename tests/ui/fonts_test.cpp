// The interface fonts: fonts 0 and 1 name DejaVu Sans and its bold face.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/fonts.h"

namespace fan {
namespace {

double widthIn(Fl_Font font) {
    fl_font(font, 24);
    return fl_width("fanOrbiter Очистка 1024");
}

// Measured against spare font slots given those faces, after fonts 0 and 1
// were pointed at faces that measure differently. (fontconfig answers any
// unknown sans name with DejaVu Sans, so a misspelt name goes unseen here.)
TEST(InterfaceFontsTest, NamesDejaVuSansAndItsBoldFace) {
    const Fl_Font sans = FL_FREE_FONT, sansBold = FL_FREE_FONT + 1;
    Fl::set_font(sans, " DejaVu Sans");
    Fl::set_font(sansBold, "BDejaVu Sans");
    Fl::set_font(FL_HELVETICA, " DejaVu Serif");
    Fl::set_font(FL_HELVETICA_BOLD, "BDejaVu Serif");
    ASSERT_NE(widthIn(FL_HELVETICA), widthIn(sans));  // else the checks below prove nothing
    ASSERT_NE(widthIn(FL_HELVETICA_BOLD), widthIn(sansBold));
    installInterfaceFonts();
    EXPECT_EQ(widthIn(FL_HELVETICA), widthIn(sans));
    EXPECT_EQ(widthIn(FL_HELVETICA_BOLD), widthIn(sansBold));
}

}  // namespace
}  // namespace fan
