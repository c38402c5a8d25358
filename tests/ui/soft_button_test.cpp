// SoftButton: which shade wins (inactive over pressed over hover), its
// border, its dim label while inactive, and hover tracking from events.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>

#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

constexpr Fl_Color kFill = 0x40608000;
constexpr Fl_Color kLabel = 0xF0E0D000;

class SoftButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyPalette(true);
        button.color(kFill);
        button.labelcolor(kLabel);
    }
    SoftButton button{0, 0, 100, 30};
};

struct StateCase {
    const char* name;
    bool active, pressed, hover;
    Fl_Color (*fill)();
    Fl_Color (*border)();
};

TEST_F(SoftButtonTest, InactiveBeatsPressedBeatsHover) {
    const StateCase cases[] = {
        {"plain", true, false, false, [] { return kFill; }, [] { return themeBorder; }},
        {"hovered", true, false, true, [] { return shadeColor(kFill, 8); },
         [] { return shadeColor(themeBorder, 14); }},
        {"pressed", true, true, false, [] { return shadeColor(kFill, -10); },
         [] { return themeBorder; }},
        {"pressed while hovered", true, true, true, [] { return shadeColor(kFill, -10); },
         [] { return shadeColor(themeBorder, 14); }},
        {"inactive, pressed and hovered", false, true, true,
         [] { return fl_color_average(kFill, themeBackground, 0.52f); },
         [] { return shadeColor(themeBorder, -8); }},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        button.hover = c.hover;
        button.value(c.pressed ? 1 : 0);
        if (c.active) button.activate(); else button.deactivate();
        Canvas canvas(120, 40, [&] { button.draw(); });
        EXPECT_EQ(canvas.hexAt(8, 15), hex(c.fill()));
        EXPECT_EQ(canvas.hexAt(50, 0), hex(c.border()));
        EXPECT_EQ(canvas.hexAt(50, 29), hex(c.border()));
        EXPECT_TRUE(canvas.untouched(0, 0));  // rounded corner
    }
}

TEST_F(SoftButtonTest, InactiveParentCountsAsInactive) {
    Fl_Group group(0, 0, 200, 100);
    group.add(button);
    group.end();
    group.deactivate();
    Canvas canvas(120, 40, [&] { button.draw(); });
    EXPECT_EQ(canvas.hexAt(8, 15), hex(fl_color_average(kFill, themeBackground, 0.52f)));
    group.remove(button);
}

TEST_F(SoftButtonTest, LabelIsDimOnlyWhileInactive) {
    // A symbol label is drawn as a solid shape, so its colour is exact.
    button.label("@square");
    Canvas active(120, 40, [&] { button.draw(); });
    EXPECT_EQ(active.hexAt(50, 15), hex(kLabel));

    button.deactivate();
    Canvas inactive(120, 40, [&] { button.draw(); });
    // The toolkit's label drawing dims an inactive label once more itself.
    EXPECT_EQ(inactive.hexAt(50, 15), hex(fl_inactive(themeTextDim)));
    EXPECT_EQ(button.labelcolor(), kLabel);  // restored after drawing
}

TEST_F(SoftButtonTest, EnterAndLeaveTrackHoverAndKeepButtonBehaviour) {
    Fl_Group group(0, 0, 200, 100);
    group.add(button);
    group.end();
    int clicks = 0;
    button.callback([](Fl_Widget*, void* count) { ++*static_cast<int*>(count); }, &clicks);

    EXPECT_EQ(button.handle(FL_ENTER), Fl_Button(0, 0, 1, 1).handle(FL_ENTER));
    EXPECT_TRUE(button.hover);
    EXPECT_EQ(button.handle(FL_LEAVE), Fl_Button(0, 0, 1, 1).handle(FL_LEAVE));
    EXPECT_FALSE(button.hover);

    // Still a push button: press and release inside runs the callback.
    Fl::e_x = 50;
    Fl::e_y = 15;
    Fl::e_keysym = FL_Button + 1;
    EXPECT_EQ(button.handle(FL_PUSH), 1);
    EXPECT_EQ(button.value(), 1);
    EXPECT_EQ(button.handle(FL_RELEASE), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.hover);  // pressing does not touch hover
    group.remove(button);
}

}  // namespace
}  // namespace fan
