// The message and confirmation dialogs run modally and answered through the
// toolkit's event dispatch (OK, Cancel, Escape, the window manager's close
// request); their labels per language, placement and drawing.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <string>

#include "ui/modern_dialog.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "texts/ui_texts.h"
#include "ui/window_shape.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;
using testing::ModalScript;
using testing::sendClick;
using testing::sendCloseRequest;
using testing::screenPixel;
using testing::sendKey;
using testing::sendMove;

ModernDialog* openDialog() { return dynamic_cast<ModernDialog*>(Fl::grab()); }

void clickOk() {
    SoftButton* ok = openDialog()->okButton;
    sendClick(openDialog(), ok->x() + ok->w() / 2, ok->y() + ok->h() / 2);
}

void clickCancel() {
    SoftButton* cancel = openDialog()->cancelButton;
    sendClick(openDialog(), cancel->x() + cancel->w() / 2, cancel->y() + cancel->h() / 2);
}

void pressEscape() { sendKey(openDialog(), FL_Escape); }
void requestClose() { sendCloseRequest(openDialog()); }

class ModernDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyPalette(true);
        uiLanguage = 1;
    }
    void TearDown() override {
        uiLanguage = 1;
        setShapeSupportProbe(nullptr);
    }

    int confirm(void (*answer)()) {
        ModalScript script({answer}, 3.0);
        const int result = showConfirmDialog(nullptr, "Empty Trash", "Delete everything?",
                                             "/home/me", "Empty", "Cancel");
        EXPECT_FALSE(script.timedOut()) << "the dialog did not close by itself";
        EXPECT_EQ(Fl::grab(), nullptr);
        return result;
    }
};

TEST_F(ModernDialogTest, ConfirmReturnsOneOnlyForOk) {
    EXPECT_EQ(confirm(clickOk), 1);
    EXPECT_EQ(confirm(clickCancel), 0);
    EXPECT_EQ(confirm(pressEscape), 0);
    EXPECT_EQ(confirm(requestClose), 0);
}

TEST_F(ModernDialogTest, MessageDialogClosesByOkEscapeOrCloseRequest) {
    for (void (*answer)() : {clickOk, pressEscape, requestClose}) {
        int resultSeen = -1;
        ModalScript script({[&] {
                                ModernDialog* d = openDialog();
                                answer();
                                resultSeen = d->result;
                            }},
                           3.0);
        showMessageDialog(nullptr, "Action failed", "Could not open the terminal.", "");
        EXPECT_FALSE(script.timedOut());
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(resultSeen, answer == clickOk ? 1 : 0);
    }
}

TEST_F(ModernDialogTest, ButtonsAndLabelsOfEachKind) {
    struct Seen {
        std::string ok, cancel;
        bool hasCancelButton = true, danger = true;
        Fl_Color okColour = 0, okLabelColour = 0;
    };
    auto inspect = [](Seen& seen) {
        return [&seen] {
            ModernDialog* d = openDialog();
            seen.ok = d->okButton->label();
            seen.hasCancelButton = d->cancelButton != nullptr;
            if (d->cancelButton) seen.cancel = d->cancelButton->label();
            seen.danger = d->danger;
            seen.okColour = d->okButton->color();
            seen.okLabelColour = d->okButton->labelcolor();
            pressEscape();
        };
    };

    Seen english, russian, confirmation;
    {
        ModalScript script({inspect(english)});
        showMessageDialog(nullptr, "t", "m", "");
    }
    uiLanguage = 0;
    {
        ModalScript script({inspect(russian)});
        showMessageDialog(nullptr, "t", "m", "");
    }
    {
        ModalScript script({inspect(confirmation)});
        showConfirmDialog(nullptr, "t", "m", "d", "Удалить в корзину", "Отмена");
    }
    EXPECT_EQ(english.ok, "OK");
    EXPECT_EQ(russian.ok, "\xD0\x9E\xD0\x9A");  // Cyrillic О and К
    EXPECT_FALSE(english.hasCancelButton);
    EXPECT_FALSE(english.danger);
    EXPECT_EQ(english.okColour, themeAccent);
    EXPECT_EQ(english.okLabelColour, themeOnAccent);

    EXPECT_TRUE(confirmation.hasCancelButton);
    EXPECT_TRUE(confirmation.danger);
    EXPECT_EQ(confirmation.ok, "Удалить в корзину");
    EXPECT_EQ(confirmation.cancel, "Отмена");
    EXPECT_EQ(confirmation.okColour, themeDanger);
    EXPECT_EQ(confirmation.okLabelColour, Fl_Color(0xFFFFFF00));
}

TEST_F(ModernDialogTest, PlacedOverTheOwnerOrAtItsEdge) {
    ModernDialog dialog("t", "m", "", "OK", "", false, false);
    struct Case {
        int x, y, w, h;
        int wantX, wantY;
    } cases[] = {
        {100, 50, 1120, 780, 100 + 300, 50 + 277},
        {100, 50, 522, 228, 101, 51},  // 2 px spare: centred
        {100, 50, 521, 227, 100, 50},  // 1 px spare: the owner's edge
        {100, 50, 300, 100, 100, 50},  // smaller owner: never a negative offset
    };
    for (const Case& c : cases) {
        Fl_Double_Window owner(c.x, c.y, c.w, c.h);
        owner.end();
        dialog.placeOver(&owner);
        EXPECT_EQ(dialog.x(), c.wantX) << c.w << " x " << c.h;
        EXPECT_EQ(dialog.y(), c.wantY) << c.w << " x " << c.h;
    }
    dialog.placeOver(nullptr);
    EXPECT_EQ(dialog.x(), 120);
    EXPECT_EQ(dialog.y(), 120);
}

Canvas drawDialog(ModernDialog& dialog) {
    // A window that is not shown ignores damage(); set it directly.
    dialog.clear_damage(FL_DAMAGE_ALL);
    return Canvas(dialog.w(), dialog.h(), [&] { dialog.draw(); });
}

TEST_F(ModernDialogTest, MessageDialogDrawsAccentIconAndOneAccentButton) {
    ModernDialog dialog("Title", "Message", "", "OK", "", false, false);
    Canvas c = drawDialog(dialog);
    EXPECT_EQ(c.hexAt(34, 55), hex(fl_color_average(themeAccent, themeSurface, 0.26f)));
    EXPECT_EQ(c.hexAt(52, 67), hex(themeAccent));                  // the question mark's dot
    EXPECT_EQ(c.hexAt(374, 172), hex(themeAccent));                // OK at (370, 168)
    EXPECT_EQ(c.hexAt(222, 172), hex(themeSurface));               // no Cancel button
    EXPECT_EQ(c.hexAt(260, 154), hex(themeBorder));                // separator at h - 72
    EXPECT_EQ(c.hexAt(260, 100), hex(themeSurface));
}

TEST_F(ModernDialogTest, ConfirmDialogDrawsDangerIconAndBothButtons) {
    ModernDialog dialog("Title", "Message", "Detail", "Empty", "Cancel", true, true);
    Canvas c = drawDialog(dialog);
    EXPECT_EQ(c.hexAt(34, 55), hex(fl_color_average(themeDanger, themeSurface, 0.28f)));
    EXPECT_EQ(c.hexAt(50, 50), hex(themeDanger));                  // the exclamation mark
    EXPECT_EQ(c.hexAt(346, 172), hex(themeDanger));                // OK at (342, 168)
    EXPECT_EQ(c.hexAt(222, 172), hex(themeControl));               // Cancel at (218, 168)
    EXPECT_EQ(c.hexAt(330, 172), hex(themeSurface));               // the gap between them
}

TEST_F(ModernDialogTest, QuestionMarkHookIsAboveItsDot) {
    ModernDialog dialog("Title", "Message", "", "OK", "", false, false);
    Canvas c = drawDialog(dialog);
    // The hook arches over the upper half of the disc (centre row 55); below
    // it, left of the stem, there is nothing, as a cup would put there.
    EXPECT_GT(c.countIn(44, 38, 15, 4, themeAccent), 4);
    EXPECT_EQ(c.countIn(40, 54, 10, 10, themeAccent), 0);
}

TEST_F(ModernDialogTest, TitleIsDrawnInItsBoxInTheTextColour) {
    // Title box: (88, 25, w - 116, 28).
    ModernDialog dialog("Empty Trash", "", "", "OK", "", false, false);
    Canvas titled = drawDialog(dialog);
    EXPECT_GT(titled.countIn(88, 25, 404, 28, themeText), 0);
    EXPECT_LT(titled.countIn(88, 25, 404, 28, themeSurface), 404 * 28);
    dialog.title.clear();
    Canvas untitled = drawDialog(dialog);
    EXPECT_EQ(untitled.countIn(88, 25, 404, 28, themeSurface), 404 * 28);
}

TEST_F(ModernDialogTest, DetailIsDrawnInTheDimTextColour) {
    ModernDialog dialog("Title", "", "/home/me/Downloads", "OK", "", false, false);
    Canvas c = drawDialog(dialog);
    // On the dark surface the text's own colour is the brightest pixel of its
    // box; the edges of the glyphs are mixed with the surface.
    Fl_Color brightest = themeSurface;
    auto lightness = [](Fl_Color colour) {
        return ((colour >> 24) & 0xFF) + ((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF);
    };
    for (int y = 101; y < 149; ++y)
        for (int x = 88; x < 492; ++x)
            if (lightness(c.at(x, y)) > lightness(brightest)) brightest = c.at(x, y);
    EXPECT_EQ(hex(brightest), hex(themeTextDim));
}

TEST_F(ModernDialogTest, MessageIsClippedToItsBoxAndEmptyDetailDrawsNothing) {
    // Detail box: (88, 101, w - 116, 48). A five-line message must not reach it.
    ModernDialog dialog("Title", "one\ntwo\nthree\nfour\nfive", "", "OK", "", false, false);
    Canvas c = drawDialog(dialog);
    EXPECT_LT(c.countIn(88, 58, 404, 42, themeSurface), 404 * 42);   // the message shows
    EXPECT_EQ(c.countIn(88, 100, 404, 50, themeSurface), 404 * 50);  // nothing below it

    dialog.detail = "/home/me/photo@2x.png";
    Canvas withDetail = drawDialog(dialog);
    EXPECT_LT(withDetail.countIn(88, 101, 404, 48, themeSurface), 404 * 48);
}

TEST_F(ModernDialogTest, RedrawingOneButtonKeepsTheOthers) {
    ModernDialog dialog("Title", "Message", "", "Empty", "Cancel", true, true);
    Canvas before = drawDialog(dialog);
    Canvas after(dialog.w(), dialog.h(), [&] {
        // Start from the full picture, as the double buffer does, then redraw
        // with only the OK button damaged, as a hover change leaves it.
        dialog.clear_damage(FL_DAMAGE_ALL);
        dialog.draw();
        dialog.okButton->hover = true;
        dialog.okButton->clear_damage(FL_DAMAGE_ALL);
        dialog.clear_damage(FL_DAMAGE_CHILD);
        dialog.draw();
    });
    EXPECT_EQ(after.hexAt(222, 172), hex(themeControl));  // Cancel still there
    EXPECT_EQ(after.hexAt(346, 172), hex(shadeColor(themeDanger, 8)));
    EXPECT_EQ(before.hexAt(346, 172), hex(themeDanger));
}

// The dialog is centred over an owner in the screen's lower right corner,
// at (1070, 940): away from where other test programs' main windows open,
// (0, 0) to (1120, 780), since they may share the X server.
constexpr int kDialogX = 1070, kDialogY = 940;

struct ShownPixels {
    std::string corner, centre, okButton, underCorner;
};

ShownPixels confirmOnScreen() {
    Fl_Double_Window owner(1060, 920, 540, 266);
    owner.end();
    ShownPixels seen;
    seen.underCorner = hex(screenPixel(kDialogX, kDialogY));
    ModalScript script({[&] {
        EXPECT_EQ(openDialog()->x(), kDialogX);
        EXPECT_EQ(openDialog()->y(), kDialogY);
        seen.corner = hex(screenPixel(kDialogX, kDialogY));
        seen.centre = hex(screenPixel(kDialogX + 450, kDialogY + 130));
        seen.okButton = hex(screenPixel(kDialogX + 346, kDialogY + 172));
        clickOk();
    }});
    EXPECT_EQ(showConfirmDialog(&owner, "t", "m", "", "Empty", "Cancel"), 1);
    EXPECT_FALSE(script.timedOut());
    return seen;
}

TEST_F(ModernDialogTest, ShownDialogIsRoundedOnTheScreen) {
    const ShownPixels seen = confirmOnScreen();
    ASSERT_NE(seen.underCorner, hex(themeSurface));  // else the check below proves nothing
    EXPECT_EQ(seen.corner, seen.underCorner);       // cut away by the shape
    EXPECT_EQ(seen.centre, hex(themeSurface));
    EXPECT_EQ(seen.okButton, hex(themeDanger));
}

TEST_F(ModernDialogTest, WithoutShapeExtensionTheDialogIsRectangularAndWorks) {
    setShapeSupportProbe([] { return false; });
    const ShownPixels seen = confirmOnScreen();
    EXPECT_EQ(seen.corner, hex(themeSurface));  // the window's own background
    EXPECT_EQ(seen.centre, hex(themeSurface));
    EXPECT_EQ(seen.okButton, hex(themeDanger));
}

// Under the modal grab the toolkit sends a button FL_ENTER on every move over
// it and never FL_LEAVE; the dialog itself must take the hover look away.
TEST_F(ModernDialogTest, ButtonsLoseTheirHoverWhenThePointerMovesOff) {
    Fl_Double_Window owner(1060, 920, 540, 266);
    owner.end();
    auto moveOnto = [](SoftButton* button) {
        sendMove(openDialog(), button->x() + 10, button->y() + 10);
    };
    struct Seen {
        bool ok = false, cancel = false;
        std::string okPixel;
    } overOk, overCancel, away;
    auto look = [](Seen& seen) {
        seen.ok = openDialog()->okButton->hover;
        seen.cancel = openDialog()->cancelButton->hover;
        seen.okPixel = hex(screenPixel(kDialogX + 346, kDialogY + 172));
    };
    ModalScript script({
        [&] { moveOnto(openDialog()->okButton); },
        [&] {
            look(overOk);
            moveOnto(openDialog()->cancelButton);
        },
        [&] {
            look(overCancel);
            sendMove(openDialog(), 10, 10);
        },
        [&] {
            look(away);
            pressEscape();
        },
    });
    EXPECT_EQ(showConfirmDialog(&owner, "t", "m", "", "Empty", "Cancel"), 0);
    EXPECT_FALSE(script.timedOut());

    EXPECT_TRUE(overOk.ok);
    EXPECT_EQ(overOk.okPixel, hex(shadeColor(themeDanger, 8)));
    EXPECT_FALSE(overCancel.ok);
    EXPECT_TRUE(overCancel.cancel);
    EXPECT_EQ(overCancel.okPixel, hex(themeDanger));
    EXPECT_FALSE(away.ok);
    EXPECT_FALSE(away.cancel);
    EXPECT_EQ(away.okPixel, hex(themeDanger));
}

}  // namespace
}  // namespace fan
