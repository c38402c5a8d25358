// IconButton: fills and borders by state, and the three icons' strokes.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "ui/icon_button.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

class IconButtonTest : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }
};

// A 40 x 40 button: centre (20, 20).
Canvas drawn(IconButton& button) { return Canvas(40, 40, [&] { button.draw(); }); }

TEST_F(IconButtonTest, InactiveHoveredKeepsInactiveFillAndDimIconWithHoverBorder) {
    IconButton button(0, 0, 40, 40, TrashCan);
    button.deactivate();
    button.hover = true;
    Canvas c = drawn(button);
    EXPECT_EQ(c.hexAt(3, 20), hex(blendColors(themeControl, themeBackground, 0.55)));
    EXPECT_EQ(c.hexAt(20, 0), hex(shadeColor(themeBorder, 16)));
    EXPECT_EQ(c.hexAt(20, 13), hex(themeTextDim));  // the lid
}

TEST_F(IconButtonTest, ActiveFillFollowsHover) {
    IconButton button(0, 0, 40, 40, TrashCan);
    Canvas plain = drawn(button);
    EXPECT_EQ(plain.hexAt(3, 20), hex(themeControl));
    EXPECT_EQ(plain.hexAt(20, 0), hex(themeBorder));
    EXPECT_EQ(plain.hexAt(20, 13), hex(themeText));
    button.handle(FL_ENTER);
    Canvas hovered = drawn(button);
    EXPECT_EQ(hovered.hexAt(3, 20), hex(themeControlHover));
    EXPECT_EQ(hovered.hexAt(20, 0), hex(shadeColor(themeBorder, 16)));
    button.handle(FL_LEAVE);
    EXPECT_FALSE(button.hover);
}

TEST_F(IconButtonTest, EachIconDrawsItsOwnStrokes) {
    IconButton gear(0, 0, 40, 40, Gear);
    Canvas g = drawn(gear);
    EXPECT_EQ(g.hexAt(29, 20), hex(themeText));  // spoke at 0 degrees ends at +9
    EXPECT_EQ(g.hexAt(20, 11), hex(themeText));  // spoke at 270 degrees
    EXPECT_EQ(g.hexAt(20, 20), hex(themeControl));  // hollow centre

    IconButton trash(0, 0, 40, 40, TrashCan);
    Canvas t = drawn(trash);
    EXPECT_EQ(t.hexAt(20, 11), hex(themeText));  // handle
    EXPECT_EQ(t.hexAt(14, 20), hex(themeText));  // left wall
    EXPECT_EQ(t.hexAt(18, 20), hex(themeText));  // slat
    EXPECT_EQ(t.hexAt(20, 20), hex(themeControl));

    IconButton broom(0, 0, 40, 40, Broom);
    Canvas b = drawn(broom);
    EXPECT_EQ(b.hexAt(20, 20), hex(themeText));  // the handle passes the centre
    EXPECT_EQ(b.hexAt(13, 13), hex(themeText));

    IconButton unknown(0, 0, 40, 40, 9);  // any other kind is the broom
    EXPECT_TRUE(drawn(unknown).sameAs(b));
    EXPECT_FALSE(g.sameAs(t));
}

}  // namespace
}  // namespace fan
