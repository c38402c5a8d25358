// The program's own message and confirmation dialogs: borderless, rounded,
// drawn in the current palette, run modally over an owner window.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

namespace fan {

class SoftButton;

// A 520 × 226 window with a round icon, a title, a message, an optional dim
// detail (both wrapped to their boxes, and clipped to them) and an OK
// button, plus a Cancel button when `hasCancel`. `danger` picks the red
// exclamation mark and a red OK button instead of the accent question mark
// and an accent OK button. `result` is 1 once OK was pressed and 0 for every
// other way of closing (Cancel, Escape, the close request).
// Built and run by the two functions below; GUI thread only.
class ModernDialog : public Fl_Double_Window {
public:
    ModernDialog(const std::string& title, const std::string& message, const std::string& detail,
                 const std::string& okLabel, const std::string& cancelLabel, bool danger, bool hasCancel);
    ~ModernDialog() override = default;

    void draw() override;
    // Escape closes with result 0. A pointer move clears the hover look of
    // the buttons it is not over. Everything else goes to the window.
    int handle(int event) override;

    // A text as draw() lays it out: its lines (the message and the detail
    // wrapped to their box), the box it is clipped to, and how it is drawn.
    struct Text {
        std::string lines;
        int x, y, w, h;
        int size;
        Fl_Color colour;
        Fl_Align align;
    };
    // The title, the message and the detail when there is one. Measures in
    // the toolkit's fonts, so the display must be open.
    std::vector<Text> texts() const;

    // Centres the dialog over `owner` where the owner is at least 2 pixels
    // larger, else aligns it with the owner's edge; (120, 120) without owner.
    void placeOver(const Fl_Window* owner);

    std::string title;
    std::string message;
    std::string detail;
    std::string okLabel;
    std::string cancelLabel;
    bool danger;
    bool hasCancel;
    int result = 0;
    SoftButton* okButton = nullptr;      // child, owned by the window
    SoftButton* cancelButton = nullptr;  // only with hasCancel
};

// Callbacks; user data is the dialog. OK sets result 1, Cancel and the
// window's close request set 0; each then hides the dialog.
void closeDialogAccept(Fl_Widget* widget, void* dialog);
void closeDialogReject(Fl_Widget* widget, void* dialog);
void closeDialogWindow(Fl_Widget* widget, void* dialog);

// A message with one OK button ("OK" / "ОК" by uiLanguage). Returns when the
// dialog is closed, whichever way. `owner` may be null.
void showMessageDialog(Fl_Window* owner, const std::string& title, const std::string& message,
                       const std::string& detail);

// A danger confirmation with the caller's OK and Cancel labels. Returns 1
// when OK was pressed, 0 for Cancel, Escape or the close request.
int showConfirmDialog(Fl_Window* owner, const std::string& title, const std::string& message, const std::string& detail,
                      const std::string& okLabel, const std::string& cancelLabel);

}  // namespace fan
