// RoundedPopupMenu driven through the toolkit's event dispatch while it runs
// modally: hovering rows, gaps and separators, what closes it with which
// choice, and how rows are drawn.
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

using namespace fan::testing;
using Steps = std::vector<std::function<void()>>;

// The context menu's five rows. Bands (window rows, ends included):
// row 0 14..51, row 1 56..93, row 2 98..135, separator line at 144,
// row 3 152..189, separator line at 198, row 4 206..243; height 262.
std::vector<ContextMenuItem> contextRows() {
    return {{"Show in file manager", 10, true, false},
            {"Copy path", 11, true, false},
            {"Open terminal here", 0, true, false},  // id 0 is a real choice
            {"Rescan", 13, false, true},             // disabled
            {"Move to Trash", 14, true, true}};
}
constexpr int kMenuW = 320;
constexpr int kMenuH = 262;
constexpr uint32_t kNone = RoundedPopupMenu::kNoChoice;

RoundedPopupMenu* menu() {
    return dynamic_cast<RoundedPopupMenu*>(Fl::grab());
}
std::function<void()> clickAt(int x, int y, int button = 1) {
    return [=] { sendClick(menu(), x, y, button); };
}

// Runs the menu modally with the given steps; returns its choice.
uint32_t run(Steps steps) {
    RoundedPopupMenu popup(kMenuW, kMenuH, contextRows());
    popup.color(themeSurface);
    popup.clear_border();
    popup.position(200, 150);
    ModalScript script(std::move(steps));
    runModalWindow(popup, 26);
    EXPECT_FALSE(script.timedOut()) << "the menu did not close by itself";
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(Fl::grab(), nullptr);
    return popup.chosenId;
}

TEST(PopupMenuTest, HoverFollowsRowBandsByHeightAloneWithinTheWindow) {
    RoundedPopupMenu popup(kMenuW, kMenuH, contextRows());
    const struct {
        const char* name;
        int x, y;
        int row;
    } places[] = {{"first row's top", 160, 14, 0}, {"first row's bottom", 160, 51, 0},
                  {"gap under it", 160, 52, -1},   {"separator space", 160, 145, -1},
                  {"disabled row", 160, 170, 3},   {"beside the window", -20, 220, -1}};
    for (const auto& p : places) {
        Fl::e_x = p.x;
        Fl::e_y = p.y;
        popup.handle(FL_MOVE);
        EXPECT_EQ(popup.hoveredRow, p.row) << p.name;
    }
}

// A menu that closed too early leaves the script's last steps unrun, which
// run() reports.
TEST(PopupMenuTest, OnlyALeftClickOrLostFocusClosesItChoosingAnEnabledRowOrNothing) {
    const struct {
        const char* name;
        Steps steps;
        uint32_t chosen;
    } cases[] = {
        {"a row", {clickAt(160, 206)}, 14},
        {"a row of id 0", {clickAt(160, 120)}, 0},
        {"outside", {clickAt(500, 600)}, kNone},
        {"lost focus", {[] { menu()->handle(FL_UNFOCUS); }}, kNone},
        {"a disabled row, other buttons and a key, then a row",
         {clickAt(160, 170), clickAt(160, 30, 3), clickAt(160, 30, 2), [] { sendKey(menu(), 'a'); }, clickAt(160, 30)},
         10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.steps), c.chosen);
    }
}

TEST(PopupMenuTest, OnlyAnEnabledHoveredRowIsHighlightedAndDisabledLabelsAreDim) {
    RoundedPopupMenu popup(kMenuW, kMenuH, contextRows());
    auto draw = [&](int hovered) {
        popup.hoveredRow = hovered;
        return Canvas(kMenuW, kMenuH, [&] { popup.draw(); });
    };
    const Canvas none = draw(-1);
    const Canvas first = draw(1);
    const Fl_Color hover = themeControlHover;
    EXPECT_TRUE(draw(3).sameAs(none));  // row 3 is disabled
    // Row 1's box (12, 56, w - 24, 38), nothing around it.
    EXPECT_GT(first.countIn(12, 56, 296, 38, hover), 0);
    EXPECT_EQ(first.countIn(0, 0, kMenuW, kMenuH, hover), first.countIn(12, 56, 296, 38, hover));
    EXPECT_GT(none.countIn(28, 152, 264, 38, themeTextDim), 0);  // row 3's label
}

TEST(PopupMenuTest, BuildingAMenuKeepsTheCallersGroupOpen) {
    Fl_Double_Window owner(300, 200);
    {
        RoundedPopupMenu popup(kMenuW, kMenuH, contextRows());
        EXPECT_EQ(popup.parent(), nullptr);
        EXPECT_EQ(Fl_Group::current(), &owner);
    }
    owner.end();
}

}  // namespace
}  // namespace fan
