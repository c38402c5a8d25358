// RoundedPopupMenu driven through the toolkit's event dispatch while it runs
// modally: hovering rows, gaps and separators, clicks that choose, close or
// do nothing, Escape and loss of focus; and how hovered rows are drawn.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

#include "ui/modal_window.h"
#include "ui/palette.h"
#include "ui/rounded_popup_menu.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;
using testing::ModalScript;
using testing::sendClick;
using testing::sendKey;
using testing::sendMove;

// The context menu's five rows. Bands (window rows, ends included):
// row 0 14..51, row 1 56..93, row 2 98..135, separator line at 144,
// row 3 152..189, separator line at 198, row 4 206..243; height 262.
std::vector<ContextMenuItem> contextRows() {
    return {
        {"Show in file manager", 10, true, false},
        {"Copy path", 11, true, false},
        {"Open terminal here", 0, true, false},  // id 0 is a real choice
        {"Rescan", 13, false, true},              // disabled
        {"Move to Trash", 14, true, true},
    };
}

constexpr int kMenuW = 320;
constexpr int kMenuH = 262;

RoundedPopupMenu* grabbedMenu() { return dynamic_cast<RoundedPopupMenu*>(Fl::grab()); }

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }

    // Runs the menu modally with the given steps; returns its choice.
    uint32_t run(std::vector<std::function<void()>> steps,
                 std::vector<ContextMenuItem> rows = contextRows(), int height = kMenuH) {
        RoundedPopupMenu menu(kMenuW, height, std::move(rows));
        menu.color(themeSurface);
        menu.clear_border();
        menu.position(200, 150);
        ModalScript script(std::move(steps));
        runModalWindow(menu, 26);
        EXPECT_FALSE(script.timedOut()) << "the menu did not close by itself";
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(Fl::grab(), nullptr);  // the grab is released
        return menu.chosenId;
    }
};

TEST_F(PopupMenuTest, HoverFollowsRowBandsByHeightAlone) {
    std::vector<int> seen;
    auto hoverAt = [&](int x, int y) {
        return [&seen, x, y] {
            sendMove(grabbedMenu(), x, y);
            seen.push_back(grabbedMenu()->hoveredRow);
        };
    };
    const uint32_t chosen = run({
        hoverAt(160, 14),   // first pixel of row 0
        hoverAt(160, 51),   // last pixel of row 0
        hoverAt(160, 52),   // gap
        hoverAt(160, 55),   // gap
        hoverAt(2, 70),     // row 1, left of the highlight box
        hoverAt(160, 145),  // separator space above row 3
        hoverAt(160, 170),  // disabled rows can be hovered
        hoverAt(160, 10),   // above the first row
        hoverAt(160, 250),  // below the last row
        hoverAt(160, 220),
        hoverAt(-20, 220),  // outside the window, though at a row's height
        hoverAt(160, 220),
        [&] {
            grabbedMenu()->handle(FL_LEAVE);  // what the toolkit's belowmouse sends
            seen.push_back(grabbedMenu()->hoveredRow);
            sendKey(grabbedMenu(), FL_Escape);
        },
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 0, -1, -1, 1, -1, 3, -1, -1, 4, -1, 4, -1}));
    EXPECT_EQ(chosen, RoundedPopupMenu::kNoChoice);
}

TEST_F(PopupMenuTest, LeftClickOnEnabledRowChoosesItsId) {
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 160, 70); }}), 11u);
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 160, 206); }}), 14u);
    // Beside the highlight box, at a row's height, still that row.
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 3, 30); }}), 10u);
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 318, 30); }}), 10u);
    // Id 0 is a choice like any other.
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 160, 120); }}), 0u);
}

TEST_F(PopupMenuTest, ClicksOutsideTheRowsCloseWithoutChoice) {
    // Gaps, separator spaces, above and below the rows, and anywhere outside
    // the window: the grab brings those clicks here too, and a click beside
    // the menu at a row's height dismisses it rather than choosing the row.
    const int places[][2] = {{160, 53}, {160, 140}, {160, 148}, {160, 5}, {160, 250},
                             {-50, 30}, {kMenuW, 30}, {160, -1}, {500, 600}};
    for (const auto& p : places) {
        SCOPED_TRACE(::testing::Message() << "click at " << p[0] << ", " << p[1]);
        EXPECT_EQ(run({[&] { sendClick(grabbedMenu(), p[0], p[1]); }}),
                  RoundedPopupMenu::kNoChoice);
    }
}

TEST_F(PopupMenuTest, DisabledRowIgnoresTheClickAndStaysOpen) {
    bool stillOpen = false;
    uint32_t idMeanwhile = 0;
    const uint32_t chosen = run({
        [] { sendClick(grabbedMenu(), 160, 170); },
        [&] {
            stillOpen = grabbedMenu() != nullptr && grabbedMenu()->shown();
            idMeanwhile = grabbedMenu()->chosenId;
            sendClick(grabbedMenu(), 160, 30);
        },
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(idMeanwhile, RoundedPopupMenu::kNoChoice);
    EXPECT_EQ(chosen, 10u);
}

TEST_F(PopupMenuTest, OtherButtonsGoToTheWindowAndDoNotClose) {
    bool openAfterRight = false, openAfterMiddle = false;
    const uint32_t chosen = run({
        [] { sendClick(grabbedMenu(), 160, 30, 3); },
        [&] {
            openAfterRight = grabbedMenu() != nullptr;
            sendClick(grabbedMenu(), 160, 30, 2);
        },
        [&] {
            openAfterMiddle = grabbedMenu() != nullptr;
            sendKey(grabbedMenu(), 'a');  // other keys do nothing either
        },
        [] { sendKey(grabbedMenu(), FL_Escape); },
    });
    EXPECT_TRUE(openAfterRight);
    EXPECT_TRUE(openAfterMiddle);
    EXPECT_EQ(chosen, RoundedPopupMenu::kNoChoice);
}

TEST_F(PopupMenuTest, LosingTheFocusClosesWithoutChoice) {
    const uint32_t chosen = run({
        [] { sendMove(grabbedMenu(), 160, 30); },
        [] { grabbedMenu()->handle(FL_UNFOCUS); },
    });
    EXPECT_EQ(chosen, RoundedPopupMenu::kNoChoice);
}

TEST_F(PopupMenuTest, MenuWithoutRowsClosesOnAnyLeftClick) {
    EXPECT_EQ(run({[] { sendClick(grabbedMenu(), 50, 20); }}, {}, 40),
              RoundedPopupMenu::kNoChoice);
}

TEST_F(PopupMenuTest, OnlyAnEnabledHoveredRowIsHighlighted) {
    RoundedPopupMenu menu(kMenuW, kMenuH, contextRows());
    menu.color(themeSurface);
    auto draw = [&](int hovered) {
        menu.hoveredRow = hovered;
        return Canvas(kMenuW, kMenuH, [&] { menu.draw(); });
    };
    Canvas none = draw(-1);
    Canvas first = draw(1);
    Canvas disabled = draw(3);
    EXPECT_EQ(none.hexAt(16, 75), hex(themeSurface));
    EXPECT_EQ(first.hexAt(16, 75), hex(themeControlHover));   // box (12, 56, w - 24, 38)
    EXPECT_EQ(first.hexAt(12, 75), hex(themeControlHover));
    EXPECT_EQ(first.hexAt(11, 75), hex(themeSurface));
    EXPECT_EQ(first.hexAt(16, 95), hex(themeSurface));        // below the box
    EXPECT_TRUE(disabled.sameAs(none));                       // no highlight at all
    EXPECT_EQ(none.hexAt(160, 144), hex(themeBorder));        // separator lines
    EXPECT_EQ(none.hexAt(18, 198), hex(themeBorder));
    EXPECT_EQ(none.hexAt(17, 198), hex(themeSurface));
    // Labels sit in their text boxes, from x 28.
    EXPECT_LT(none.countIn(28, 14, 60, 38, themeSurface), 60 * 38);
    EXPECT_EQ(none.countIn(13, 14, 14, 38, themeSurface), 14 * 38);
}

TEST_F(PopupMenuTest, EmptyMenuDrawsOnlyItsPanel) {
    RoundedPopupMenu empty(kMenuW, 40, {});
    empty.color(themeSurface);
    Canvas c(kMenuW, 40, [&] { empty.draw(); });
    EXPECT_EQ(c.countIn(14, 2, kMenuW - 28, 36, themeSurface), (kMenuW - 28) * 36);
    EXPECT_EQ(c.hexAt(160, 0), hex(shadeColor(themeBorder, -8)));
}

TEST_F(PopupMenuTest, DisabledLabelsAreDimAndEnabledOnesPlain) {
    RoundedPopupMenu menu(kMenuW, kMenuH, contextRows());
    menu.color(themeSurface);
    Canvas c(kMenuW, kMenuH, [&] { menu.draw(); });
    // Text boxes (28, t, w - 56, 38): row 0 enabled at t 14, row 3 disabled at t 152.
    EXPECT_GT(c.countIn(28, 14, 264, 38, themeText), 0);
    EXPECT_EQ(c.countIn(28, 14, 264, 38, themeTextDim), 0);
    EXPECT_GT(c.countIn(28, 152, 264, 38, themeTextDim), 0);
    EXPECT_EQ(c.countIn(28, 152, 264, 38, themeText), 0);
}

TEST_F(PopupMenuTest, LongLabelIsCutAtItsTextBox) {
    RoundedPopupMenu menu(kMenuW, 70, {{std::string(80, 'W'), 1, true, false}});
    menu.color(themeSurface);
    Canvas c(kMenuW, 70, [&] { menu.draw(); });
    // The text box ends at w - 28 = 292; the label runs up to it and no further
    // (columns up to the panel's inner shadow at w - 2).
    EXPECT_LT(c.countIn(280, 14, 12, 38, themeSurface), 12 * 38);
    EXPECT_EQ(c.countIn(292, 14, 26, 38, themeSurface), 26 * 38);
}

TEST_F(PopupMenuTest, BuildingAMenuKeepsTheCallersGroupOpen) {
    Fl_Double_Window owner(300, 200);
    ASSERT_EQ(Fl_Group::current(), &owner);
    {
        RoundedPopupMenu menu(kMenuW, kMenuH, contextRows());
        EXPECT_EQ(menu.parent(), nullptr);  // a window of its own
        EXPECT_EQ(menu.children(), 0);
        EXPECT_EQ(Fl_Group::current(), &owner);
    }
    owner.end();
    EXPECT_EQ(Fl_Group::current(), nullptr);
}

}  // namespace
}  // namespace fan
