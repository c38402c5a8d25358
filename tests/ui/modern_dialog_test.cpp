// The message and confirmation dialogs run modally and answered through the
// toolkit's event dispatch (OK, Cancel, Escape, the window manager's close
// request), their place over the owner, and their drawing.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/modern_dialog.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using namespace fan::testing;

ModernDialog* openDialog() {
    return dynamic_cast<ModernDialog*>(Fl::grab());
}
void press(SoftButton* button) {
    sendClick(openDialog(), button->x() + button->w() / 2, button->y() + button->h() / 2);
}
void pressEscape() {
    sendKey(openDialog(), FL_Escape);
}

// A confirmation run over `owner` with the given steps; its answer, or -1 when
// it did not close by itself.
int confirm(Fl_Window* owner, std::vector<std::function<void()>> steps) {
    ModalScript script(std::move(steps));
    const int result = showConfirmDialog(owner, "t", "m", "", "Empty", "Cancel");
    return script.timedOut() || Fl::grab() != nullptr ? -1 : result;
}

Canvas drawDialog(ModernDialog& dialog) {
    dialog.clear_damage(FL_DAMAGE_ALL);  // a window that is not shown ignores damage()
    return Canvas(dialog.w(), dialog.h(), [&] { dialog.draw(); });
}

// Dialogs open over an owner in the screen's lower right corner, at
// (1070, 940): away from where other test programs' main windows open.
constexpr int kDialogX = 1070;
constexpr int kDialogY = 940;

class ModernDialogTest : public ::testing::Test {
protected:
    void SetUp() override { owner.end(); }
    Fl_Double_Window owner{1060, 920, 540, 266};
};

TEST_F(ModernDialogTest, OnlyOkConfirmsWhicheverWayTheDialogCloses) {
    EXPECT_EQ(confirm(nullptr, {[] { press(openDialog()->okButton); }}), 1);
    EXPECT_EQ(confirm(nullptr, {[] { press(openDialog()->cancelButton); }}), 0);
    EXPECT_EQ(confirm(nullptr, {pressEscape}), 0);
    EXPECT_EQ(confirm(nullptr, {[] { sendCloseRequest(openDialog()); }}), 0);
}

// The dialog is 520 x 226.
TEST_F(ModernDialogTest, PlacedOverTheOwnerOrAtItsEdge) {
    ModernDialog dialog("t", "m", "", "OK", "", false, false);
    const struct {
        const char* name;
        int w, h;  // the owner's, at (100, 50)
        int x, y;
    } rows[] = {{"the main window", 1120, 780, 400, 327},
                {"2 px spare: centred", 522, 228, 101, 51},
                {"1 px spare: the owner's edge", 521, 227, 100, 50},
                {"larger than the owner: its edge", 300, 100, 100, 50}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        owner.resize(100, 50, row.w, row.h);
        dialog.placeOver(&owner);
        EXPECT_EQ(dialog.x(), row.x);
        EXPECT_EQ(dialog.y(), row.y);
    }
}

// Boxes: title (88, 25, w - 116, 28), message (88, 58, .., 42), detail (88, 101, .., 48).
TEST_F(ModernDialogTest, EachKindDrawsItsGlyphTextsAndButtons) {
    ModernDialog message("Title", "one\ntwo\nthree\nfour\nfive", "", "OK", "", false, false);
    ModernDialog confirm("", "", "/home/me/photo@2x.png", "Empty", "Cancel", true, true);
    const Canvas m = drawDialog(message);
    const Canvas c = drawDialog(confirm);
    EXPECT_EQ(c.hexAt(50, 50), hex(themeDanger));  // the exclamation mark
    // The question mark's hook arches over the upper half of the disc (centre
    // row 55); below it, left of the stem, is nothing, as a cup would put there.
    EXPECT_GT(m.countIn(44, 38, 15, 4, themeAccent), 4);
    EXPECT_EQ(m.countIn(40, 54, 10, 10, themeAccent), 0);
    EXPECT_EQ(m.countIn(88, 100, 404, 50, themeSurface), 404 * 50);  // the message clipped, no detail
    EXPECT_GT(c.countIn(88, 101, 404, 48, themeTextDim), 0);
    EXPECT_EQ(m.hexAt(374, 172), hex(themeAccent));  // OK at (370, 168)
    EXPECT_EQ(c.hexAt(346, 172), hex(themeDanger));  // OK at (342, 168)
}

// A detail too wide for one line, with no space to break at, goes on over
// the next lines of its box.
TEST_F(ModernDialogTest, ALongDetailIsWrappedInsideItsBox) {
    ModernDialog dialog("", "", std::string(150, 'x'), "Empty", "Cancel", true, true);
    const Canvas c = drawDialog(dialog);
    EXPECT_GT(c.countIn(88, 118, 404, 10, themeTextDim), 0);  // the second line
}

// A path longer than the detail box shows its start and, after an ellipsis,
// its end: the name of the item the dialog asks about.
TEST_F(ModernDialogTest, APathLongerThanItsBoxKeepsItsName) {
    std::string path;
    for (int i = 0; i < 40; ++i)
        path += "/folder" + std::to_string(i);
    path += "/the-name.txt";
    ModernDialog dialog("", "", path, "Move", "Cancel", true, true);
    const std::vector<ModernDialog::Text> texts = dialog.texts();
    ASSERT_EQ(texts.size(), 3u);
    const ModernDialog::Text& detail = texts[2];
    fl_font(FL_HELVETICA, detail.size);
    const int lines = static_cast<int>(std::count(detail.lines.begin(), detail.lines.end(), '\n')) + 1;
    EXPECT_LE(lines * fl_height(), detail.h);
    EXPECT_EQ(detail.lines.rfind("/folder0/", 0), 0u);
    EXPECT_NE(detail.lines.find("\xE2\x80\xA6"), std::string::npos);
    EXPECT_EQ(detail.lines.substr(detail.lines.size() - 13), "/the-name.txt");
}

// Under the grab the toolkit sends a button FL_ENTER on every move over it
// and never FL_LEAVE; the dialog itself must take the hover look away.
TEST_F(ModernDialogTest, ButtonsLoseTheirHoverWhenThePointerMovesOff) {
    std::vector<std::string> okShown;  // on the screen before each move: after the one before
    const auto moveTo = [&](int x, int y) {
        return [&, x, y] {
            okShown.push_back(hex(screenPixel(kDialogX + 346, kDialogY + 172)));
            sendMove(openDialog(), x, y);
        };
    };
    EXPECT_EQ(confirm(&owner, {moveTo(352, 178), moveTo(10, 10), moveTo(10, 10), pressEscape}), 0);
    const std::string plain = hex(themeDanger);
    EXPECT_EQ(okShown, (std::vector<std::string>{plain, hex(shadeColor(themeDanger, 8)), plain}));
}

TEST_F(ModernDialogTest, CloseRequestToTheOwnerLeavesOwnerAndDialogOpen) {
    owner.show();
    settle(0.1);
    bool dialogOpen = false;
    const auto look = [&] {
        dialogOpen = openDialog() != nullptr;
        pressEscape();
    };
    EXPECT_EQ(confirm(&owner, {[&] { sendCloseRequest(&owner); }, [] {}, look}), 0);
    EXPECT_TRUE(dialogOpen);
    EXPECT_TRUE(owner.shown());
}

}  // namespace
}  // namespace fan
