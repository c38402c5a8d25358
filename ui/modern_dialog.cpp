// Building, drawing and running the message and confirmation dialogs.
#include "ui/modern_dialog.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/modal_window.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui/wrapped_text.h"
#include "texts/ui_texts.h"

namespace fan {

namespace {

constexpr int kDialogWidth = 520;
constexpr int kDialogHeight = 226;
constexpr int kCornerDiameter = 32;

SoftButton* addButton(int x, int y, int w, const std::string& label, Fl_Color fill, Fl_Color labelColour,
                      Fl_Callback* callback, ModernDialog* dialog) {
    auto* button = new SoftButton(x, y, w, 36);
    button->copy_label(label.c_str());
    button->color(fill);
    button->labelcolor(labelColour);
    button->callback(callback, dialog);
    return button;
}

int positionOver(int ownerPos, int ownerSize, int size) {
    const int spare = ownerSize - size;
    return spare >= 2 ? ownerPos + spare / 2 : ownerPos;
}

int runDialog(ModernDialog& dialog, const Fl_Window* owner) {
    dialog.placeOver(owner);
    runModalWindow(dialog, kCornerDiameter);
    return dialog.result;
}

}  // namespace

ModernDialog::ModernDialog(const std::string& title, const std::string& message, const std::string& detail,
                           const std::string& okLabel, const std::string& cancelLabel, bool danger, bool hasCancel)
    : Fl_Double_Window(kDialogWidth, kDialogHeight),
      title(title),
      message(message),
      detail(detail),
      okLabel(okLabel),
      cancelLabel(cancelLabel),
      danger(danger),
      hasCancel(hasCancel) {
    clear_border();
    color(themeSurface);
    const int W = w(), H = h();
    if (danger)
        okButton = addButton(W - 178, H - 58, 154, okLabel, themeDanger, 0xFFFFFF00, closeDialogAccept, this);
    else
        okButton = addButton(W - 150, H - 58, 126, okLabel, themeAccent, themeOnAccent, closeDialogAccept, this);
    if (hasCancel)
        cancelButton =
            addButton(okButton->x() - 124, H - 58, 100, cancelLabel, themeControl, themeText, closeDialogReject, this);
    end();
    callback(closeDialogWindow, this);
}

void ModernDialog::placeOver(const Fl_Window* owner) {
    if (owner == nullptr) {
        position(120, 120);
        return;
    }
    position(positionOver(owner->x(), owner->w(), w()), positionOver(owner->y(), owner->h(), h()));
}

std::vector<ModernDialog::Text> ModernDialog::texts() const {
    const int textWidth = w() - 116;
    // As many lines as the box shows whole; a longer text keeps its end.
    const auto wrapped = [&](const std::string& text, int size, int boxHeight) {
        fl_font(FL_HELVETICA, size);
        return wrappedText(text, textWidth, boxHeight / fl_height());
    };
    const Fl_Align topLeft = FL_ALIGN_TOP | FL_ALIGN_LEFT;
    std::vector<Text> all = {{title, 88, 25, textWidth, 28, 17, themeText, FL_ALIGN_LEFT},
                             {wrapped(message, 14, 42), 88, 58, textWidth, 42, 14, themeText, topLeft}};
    if (!detail.empty()) all.push_back({wrapped(detail, 12, 48), 88, 101, textWidth, 48, 12, themeTextDim, topLeft});
    return all;
}

void ModernDialog::draw() {
    const int W = w(), H = h();
    // When only a button changed, only the buttons are drawn again: repainting
    // the background would wipe the buttons that are not redrawn.
    if (damage() & ~FL_DAMAGE_CHILD) {
        draw_box(box(), 0, 0, W, H, color());
        if (W >= 5 && H >= 5) drawSoftPanel(0, 0, W, H, 16, themeSurface);

        fl_color(danger ? fl_color_average(themeDanger, themeSurface, 0.28f)
                        : fl_color_average(themeAccent, themeSurface, 0.26f));
        fl_pie(30, 34, 42, 42, 0, 360);
        if (danger) {
            fl_color(themeDanger);
            fl_line(50, 44, 50, 60);
            fl_pie(48, 65, 5, 5, 0, 360);
        } else {
            fl_color(themeAccent);
            // The toolkit counts degrees counter-clockwise from three o'clock:
            // from -40 round to 200 the hook runs over the top, from the
            // stem's upper end to just below the left of its centre.
            fl_arc(43, 38, 17, 17, -40, 200);
            fl_line(58, 52, 52, 58);
            fl_line(52, 58, 52, 61);
            fl_pie(50, 65, 5, 5, 0, 360);
        }

        for (const Text& text : texts())
            drawTextAligned(text.lines, text.x, text.y, text.w, text.h, text.size, text.colour, text.align);
        fl_color(themeBorder);
        fl_line(24, H - 72, W - 24, H - 72);
    }
    draw_children();
}

int ModernDialog::handle(int event) {
    if (event == FL_KEYBOARD && Fl::event_key() == FL_Escape) {
        result = 0;
        hide();
        return 1;
    }
    if (event == FL_MOVE || event == FL_DRAG) {
        // Under the modal grab the toolkit never sends FL_LEAVE to a child
        // (each move over a button sends FL_ENTER again), so a button would
        // keep its hover shade once visited. The dialog clears it instead.
        for (SoftButton* button : {okButton, cancelButton}) {
            if (button == nullptr || !button->hover || Fl::event_inside(button)) continue;
            button->hover = false;
            button->redraw();
        }
    }
    return Fl_Double_Window::handle(event);
}

void closeDialogAccept(Fl_Widget*, void* dialog) {
    auto* d = static_cast<ModernDialog*>(dialog);
    d->result = 1;
    d->hide();
}

void closeDialogReject(Fl_Widget*, void* dialog) {
    auto* d = static_cast<ModernDialog*>(dialog);
    d->result = 0;
    d->hide();
}

void closeDialogWindow(Fl_Widget* widget, void* dialog) {
    // A close request from the window manager counts as Cancel.
    closeDialogReject(widget, dialog);
}

void showMessageDialog(Fl_Window* owner, const std::string& title, const std::string& message,
                       const std::string& detail) {
    Fl_Group* openGroup = Fl_Group::current();
    ModernDialog dialog(title, message, detail, settingsText(stxtOk), std::string(), false, false);
    Fl_Group::current(openGroup);
    runDialog(dialog, owner);
}

int showConfirmDialog(Fl_Window* owner, const std::string& title, const std::string& message, const std::string& detail,
                      const std::string& okLabel, const std::string& cancelLabel) {
    Fl_Group* openGroup = Fl_Group::current();
    ModernDialog dialog(title, message, detail, okLabel, cancelLabel, true, true);
    Fl_Group::current(openGroup);
    return runDialog(dialog, owner);
}

}  // namespace fan
