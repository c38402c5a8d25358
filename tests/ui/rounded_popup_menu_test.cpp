// RoundedPopupMenu driven through the toolkit's event dispatch while it runs
// modally: hovering rows, gaps and separators, clicks that choose, close or
// do nothing, other keys and buttons, loss of focus; and how rows are drawn.
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
constexpr int kMenuW = 320, kMenuH = 262;
constexpr uint32_t kNone = RoundedPopupMenu::kNoChoice;

RoundedPopupMenu* menu() {
    return dynamic_cast<RoundedPopupMenu*>(Fl::grab());
}
std::function<void()> clickAt(int x, int y, int button = 1) {
    return [=] { sendClick(menu(), x, y, button); };
}

// Runs the menu modally with the given steps; returns its choice.
uint32_t run(Steps steps, std::vector<ContextMenuItem> rows = contextRows(), int height = kMenuH) {
    RoundedPopupMenu popup(kMenuW, height, std::move(rows));
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

TEST(PopupMenuTest, HoverFollowsRowBandsByHeightAlone) {
    std::vector<int> seen;
    const auto look = [&seen] { seen.push_back(menu()->hoveredRow); };
    Steps steps;
    const int places[][2] = {{160, 14},  {160, 51}, {160, 52},  {160, 55},  {2, 70},   {160, 145},
                             {160, 170}, {160, 10}, {160, 250}, {-20, 220}, {160, 220}};
    for (const auto& p : places)
        steps.push_back([look, p] {
            sendMove(menu(), p[0], p[1]);
            look();
        });
    // FL_LEAVE is what the toolkit sends when the pointer leaves.
    steps.push_back([look] {
        menu()->handle(FL_LEAVE);
        look();
        sendKey(menu(), FL_Escape);
    });
    EXPECT_EQ(run(steps), kNone);
    // Disabled rows can be hovered; beside the window is no row.
    EXPECT_EQ(seen, (std::vector<int>{0, 0, -1, -1, 1, -1, 3, -1, -1, -1, 4, -1}));
}

TEST(PopupMenuTest, LeftClickChoosesAnEnabledRowAndAnywhereElseCloses) {
    const std::tuple<int, int, uint32_t> clicks[] = {
        {160, 70, 11},
        {160, 206, 14},
        {3, 30, 10},
        {318, 30, 10},  // by height alone
        {160, 120, 0},  // id 0 is a choice
        // Gaps, separator spaces, above and below the rows, outside the window.
        {160, 53, kNone},
        {160, 140, kNone},
        {160, 148, kNone},
        {160, 5, kNone},
        {160, 250, kNone},
        {-50, 30, kNone},
        {kMenuW, 30, kNone},
        {500, 600, kNone},
    };
    for (const auto& [x, y, chosen] : clicks)
        EXPECT_EQ(run({clickAt(x, y)}), chosen) << "click at " << x << ", " << y;
    EXPECT_EQ(run({clickAt(50, 20)}, {}, 40), kNone);  // a menu without rows
}

TEST(PopupMenuTest, DisabledRowsOtherButtonsAndKeysLeaveItOpen) {
    std::string open;
    const auto stillOpen = [&open] { open += menu() != nullptr && menu()->shown() ? "1" : "0"; };
    const auto lastClick = [&open] {
        open += menu()->chosenId == kNone ? "-" : "!";
        sendClick(menu(), 160, 30);
    };
    EXPECT_EQ(run({clickAt(160, 170), stillOpen, clickAt(160, 30, 3), stillOpen, clickAt(160, 30, 2), stillOpen,
                   [] { sendKey(menu(), 'a'); }, stillOpen, lastClick}),
              10u);
    EXPECT_EQ(open, "1111-");
    EXPECT_EQ(run({[] { sendMove(menu(), 160, 30); }, [] { menu()->handle(FL_UNFOCUS); }}), kNone);
}

TEST(PopupMenuTest, OnlyAnEnabledHoveredRowIsHighlightedAndDisabledLabelsAreDim) {
    RoundedPopupMenu popup(kMenuW, kMenuH, contextRows());
    auto draw = [&](int hovered) {
        popup.hoveredRow = hovered;
        return Canvas(kMenuW, kMenuH, [&] { popup.draw(); });
    };
    const Canvas none = draw(-1), first = draw(1);
    const Fl_Color hover = themeControlHover;
    EXPECT_TRUE(draw(3).sameAs(none));  // row 3 is disabled
    EXPECT_EQ(none.countIn(12, 56, 296, 38, hover), 0);
    // Box (12, 56, w - 24, 38): its straight left and right edges, nothing around.
    EXPECT_EQ(first.countIn(12, 64, 1, 22, hover) + first.countIn(307, 64, 1, 22, hover), 44);
    EXPECT_EQ(first.countIn(0, 0, kMenuW, 56, hover) + first.countIn(0, 94, kMenuW, 168, hover) +
                  first.countIn(11, 56, 1, 38, hover) + first.countIn(308, 56, 1, 38, hover),
              0);
    // Separators from x 18 to w - 18.
    EXPECT_EQ(none.hexAt(18, 144) + none.hexAt(302, 198) + none.hexAt(17, 198),
              hex(themeBorder) + hex(themeBorder) + hex(themeSurface));
    // Text boxes (28, t, w - 56, 38): row 0 enabled at t 14, row 3 disabled at t 152.
    EXPECT_EQ(none.countIn(13, 14, 14, 38, themeSurface), 14 * 38);
    EXPECT_GT(none.countIn(28, 14, 264, 38, themeText), 0);
    EXPECT_EQ(none.countIn(28, 14, 264, 38, themeTextDim), 0);
    EXPECT_GT(none.countIn(28, 152, 264, 38, themeTextDim), 0);
    EXPECT_EQ(none.countIn(28, 152, 264, 38, themeText), 0);

    RoundedPopupMenu wide(kMenuW, 70, {{std::string(80, 'W'), 1, true, false}});
    const Canvas cut(kMenuW, 70, [&] { wide.draw(); });
    EXPECT_EQ(cut.hexAt(160, 0), hex(shadeColor(themeBorder, -8)));  // the soft panel
    EXPECT_LT(cut.countIn(280, 14, 12, 38, themeSurface), 12 * 38);  // up to w - 28
    EXPECT_EQ(cut.countIn(292, 14, 26, 38, themeSurface), 26 * 38);
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
