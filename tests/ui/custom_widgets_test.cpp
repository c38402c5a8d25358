// The custom widgets: which shade wins in each state of the buttons, hover
// tracking, the emboss panel, the status bar and the path field.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>

#include <string>

#include "ui/emboss_panel.h"
#include "ui/flag_button.h"
#include "ui/icon_button.h"
#include "ui/palette.h"
#include "ui/path_input.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

constexpr Fl_Color kWhite = 0xF5F5F500;

Canvas drawn(Fl_Widget& widget) {
    return Canvas(widget.x() + widget.w() + 20, widget.y() + widget.h() + 20, [&] { widget.draw(); });
}

// Each button in each state, hover set by the events that set it: a fill
// pixel, a border pixel and one of its ink (the label's middle, the flag's
// white stripe, the trash can's lid).
TEST(CustomButtonsTest, EachStateHasItsFillBorderAndInk) {
    constexpr Fl_Color fill = 0x40608000;
    constexpr Fl_Color label = 0xF0E0D000;
    Fl_Group parent(0, 0, 200, 100);
    SoftButton soft(0, 0, 100, 30, "@square");  // a symbol label is solid: exact colour
    FlagButton flag(0, 0, 40, 31, FlagRussian);
    IconButton icon(0, 0, 40, 40, TrashCan);
    parent.end();
    soft.color(fill);
    soft.labelcolor(label);
    const Fl_Color border14 = shadeColor(themeBorder, 14);
    const struct {
        const char* name;
        Fl_Button* button;
        int inkX, inkY;
        bool active, pressed, hover, selected;
        Fl_Color fill, border, ink;
    } looks[] = {
        {"soft", &soft, 50, 15, 1, 0, 0, 0, fill, themeBorder, label},
        {"soft pressed and hovered", &soft, 50, 15, 1, 1, 1, 0, shadeColor(fill, -10), border14, label},
        // The toolkit dims an inactive label once more itself.
        {"soft inactive", &soft, 50, 15, 0, 1, 1, 0, fl_color_average(fill, themeBackground, 0.52f),
         shadeColor(themeBorder, -8), fl_inactive(themeTextDim)},
        {"flag selected and hovered", &flag, 20, 8, 1, 0, 1, 1, themeControlHover, themeAccent, kWhite},
        {"icon inactive", &icon, 20, 13, 0, 0, 1, 0, blendColors(themeControl, themeBackground, 0.55),
         shadeColor(themeBorder, 16), themeTextDim},
    };
    Fl_Button plain(0, 0, 1, 1);
    for (const auto& c : looks) {
        SCOPED_TRACE(c.name);
        if (c.active)
            parent.activate();
        else
            parent.deactivate();  // a parent counts too
        c.button->value(c.pressed);
        flag.selected = c.selected;
        const int event = c.hover ? FL_ENTER : FL_LEAVE;
        EXPECT_EQ(c.button->handle(event), plain.handle(event));
        const Canvas canvas = drawn(*c.button);
        EXPECT_EQ(canvas.hexAt(3, 15), hex(c.fill));
        EXPECT_EQ(canvas.hexAt(20, 0), hex(c.border));
        EXPECT_EQ(canvas.hexAt(c.inkX, c.inkY), hex(c.ink));
        EXPECT_EQ(soft.labelcolor(), label);  // restored after drawing
    }
}

TEST(EmbossPanelTest, FourPixelsOrLessAcrossDrawNothing) {
    const struct {
        const char* name;
        int w, h;
        bool drawn;
    } sizes[] = {{"4 wide", 4, 40, false}, {"4 high", 40, 4, false}, {"5 x 5", 5, 5, true}};
    for (const auto& s : sizes) {
        EmbossPanel small(10, 10, s.w, s.h, 3);
        const Canvas c = drawn(small);
        EXPECT_EQ(c.inkIn(0, 0, s.w + 30, s.h + 30) > 0, s.drawn) << s.name;
    }
}

// The text is read when drawing, dim, in a box 14 pixels in from each end.
TEST(StatusBarTest, ShowsItsTextDimInsideItsTextBox) {
    std::string status(80, 'W');
    StatusBar bar(0, 0, 200, 24, nullptr);
    bar.text = &status;
    const Canvas c = drawn(bar);
    EXPECT_GT(c.countIn(14, 2, 172, 20, themeTextDim), 0);
    EXPECT_EQ(c.countIn(3, 6, 11, 12, themeSurface), 11 * 12) << "before the box";
    EXPECT_EQ(c.countIn(186, 6, 10, 12, themeSurface), 10 * 12) << "after the box";
}

TEST(PathInputTest, APathOfThousandsOfBytesStaysOnOneLine) {
    PathInput input(0, 0, 700, 36);
    input.box(FL_BORDER_BOX);
    input.color(FL_WHITE);
    input.textsize(14);
    std::string path;
    while (path.size() < 5000)
        path += "/folder";
    input.value(path.c_str());
    input.clear_damage(FL_DAMAGE_ALL);  // drawn whole, as when the window is exposed
    const Canvas c(700, 36, [&] { input.draw(); });
    EXPECT_LT(c.countIn(1, 12, 698, 12, FL_WHITE), 698 * 12);  // text on the first line
    EXPECT_EQ(c.countIn(1, 28, 698, 7, FL_WHITE), 698 * 7);    // nothing below it
}

}  // namespace
}  // namespace fan
