// FlagButton: the stripes of the Russian flag, the crosses of the British
// one, and the selected and hovered frames.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "ui/flag_button.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

constexpr Fl_Color kWhite = 0xF5F5F500;
constexpr Fl_Color kBlue = 0x2D57AA00;
constexpr Fl_Color kRed = 0xCD374100;
constexpr Fl_Color kUnionBlue = 0x1E377800;
constexpr Fl_Color kUnionRed = 0xBE233700;

class FlagButtonTest : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }
};

struct StripeCase {
    int h;        // button height; the flag is h - 14 high, from row 7
    int white;    // rows of each stripe
    int blue;
    int red;
};

TEST_F(FlagButtonTest, RussianStripesSplitTheFlagInThirds) {
    const StripeCase cases[] = {
        {31, 5, 5, 7},  // fh 17: 17 / 3 = 5, the rest to red
        {32, 6, 6, 6},  // fh 18
        {20, 2, 2, 2},  // fh 6: the smallest split in thirds
        {18, 1, 1, 2},  // fh 4: below 6, stripes of 1, 1 and the rest
        {16, 1, 1, 0},  // fh 2: no room left for red
    };
    for (const StripeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "height " << c.h);
        FlagButton flag(0, 0, 40, c.h, FlagRussian);
        Canvas canvas(40, c.h, [&] { flag.draw(); });
        int row = 7;
        for (int i = 0; i < c.white; ++i) EXPECT_EQ(canvas.hexAt(20, row++), hex(kWhite));
        for (int i = 0; i < c.blue; ++i) EXPECT_EQ(canvas.hexAt(20, row++), hex(kBlue));
        for (int i = 0; i < c.red; ++i) EXPECT_EQ(canvas.hexAt(20, row++), hex(kRed));
        EXPECT_EQ(row, c.h - 7);
        EXPECT_EQ(canvas.hexAt(20, row), hex(themeControl));  // the button below the flag
        EXPECT_EQ(canvas.hexAt(6, c.h / 2), hex(themeControl));  // left of it
    }
}

TEST_F(FlagButtonTest, BritishFlagHasBlueFieldAndRedCrossOverWhite) {
    // Flag area: x 7..52, y 7..32 (46 x 26), centre (30, 20).
    FlagButton flag(0, 0, 60, 40, FlagBritish);
    Canvas canvas(60, 40, [&] { flag.draw(); });
    EXPECT_EQ(canvas.hexAt(30, 20), hex(kUnionRed));     // centre of the cross
    EXPECT_EQ(canvas.hexAt(10, 20), hex(kUnionRed));     // horizontal bar, 3 rows
    EXPECT_EQ(canvas.hexAt(10, 19), hex(kUnionRed));
    EXPECT_EQ(canvas.hexAt(10, 18), hex(kWhite));        // its white border
    EXPECT_EQ(canvas.hexAt(30, 10), hex(kUnionRed));     // vertical bar
    EXPECT_EQ(canvas.hexAt(28, 10), hex(kWhite));
    EXPECT_EQ(canvas.hexAt(22, 9), hex(kUnionBlue));     // field between the arms
    EXPECT_EQ(canvas.hexAt(7, 7), hex(kUnionRed));       // red diagonal from the corner
    EXPECT_EQ(canvas.hexAt(7, 8), hex(kWhite));          // inside the white saltire

    FlagButton other(0, 0, 60, 40, 7);                   // any kind but 0 is British
    Canvas same(60, 40, [&] { other.draw(); });
    EXPECT_TRUE(same.sameAs(canvas));
}

TEST_F(FlagButtonTest, SelectedFrameIgnoresHoverUnselectedBrightensBorder) {
    FlagButton flag(0, 0, 40, 31, FlagRussian);
    struct Case {
        bool selected, hover;
        Fl_Color fill, border;
    } cases[] = {
        {true, false, themeControlHover, themeAccent},
        {true, true, themeControlHover, themeAccent},
        {false, false, themeControl, themeBorder},
        {false, true, themeControl, shadeColor(themeBorder, 16)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "selected " << c.selected << " hover " << c.hover);
        flag.selected = c.selected;
        flag.hover = c.hover;
        Canvas canvas(40, 31, [&] { flag.draw(); });
        EXPECT_EQ(canvas.hexAt(20, 0), hex(c.border));
        EXPECT_EQ(canvas.hexAt(3, 15), hex(c.fill));
    }
}

TEST_F(FlagButtonTest, EnterAndLeaveTrackHover) {
    FlagButton flag(0, 0, 40, 31, FlagBritish);
    flag.handle(FL_ENTER);
    EXPECT_TRUE(flag.hover);
    EXPECT_FALSE(flag.selected);  // the button never selects itself
    flag.handle(FL_LEAVE);
    EXPECT_FALSE(flag.hover);
}

}  // namespace
}  // namespace fan
