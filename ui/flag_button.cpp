// The flag button's look: the Russian tricolour or the Union Flag.
#include "ui/flag_button.h"

#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/hover_tracking.h"
#include "ui/palette.h"

namespace fan {

namespace {

void drawRussianFlag(int fx, int fy, int fw, int fh) {
    // Very low flags still show all three colours: 1, 1 and the rest.
    const int stripe = fh >= 6 ? fh / 3 : 1;
    const int lower = fh >= 6 ? 2 * stripe : 2;
    fl_color(0xF5F5F500);
    fl_rectf(fx, fy, fw, stripe);
    fl_color(0x2D57AA00);
    fl_rectf(fx, fy + stripe, fw, stripe);
    fl_color(0xCD374100);
    fl_rectf(fx, fy + lower, fw, fh - lower);
}

void drawBritishFlag(int fx, int fy, int fw, int fh) {
    fl_color(0x1E377800);
    fl_rectf(fx, fy, fw, fh);
    fl_color(0xF5F5F500);
    for (int d = -2; d <= 2; ++d) {
        fl_line(fx, fy + d, fx + fw, fy + fh + d);
        fl_line(fx, fy + fh + d, fx + fw, fy + d);
    }
    fl_rectf(fx, fy + fh / 2 - 2, fw, 5);
    fl_rectf(fx + fw / 2 - 2, fy, 5, fh);
    fl_color(0xBE233700);
    fl_line(fx, fy, fx + fw, fy + fh);
    fl_line(fx, fy + fh, fx + fw, fy);
    fl_rectf(fx, fy + fh / 2 - 1, fw, 3);
    fl_rectf(fx + fw / 2 - 1, fy, 3, fh);
}

}  // namespace

FlagButton::FlagButton(int x, int y, int w, int h, int flagKind) : Fl_Button(x, y, w, h), flagKind(flagKind) {
    box(FL_NO_BOX);
}

void FlagButton::draw() {
    Fl_Color fill = themeControl;
    Fl_Color border = hover ? shadeColor(themeBorder, 16) : themeBorder;
    if (selected) {
        fill = themeControlHover;
        border = themeAccent;
    }
    if (w() >= 1 && h() >= 1) fillRoundedBox(x(), y(), w(), h(), 7, fill);
    if (w() >= 2 && h() >= 2) strokeRoundedBox(x(), y(), w(), h(), 7, border);

    const int fx = x() + 7, fy = y() + 7, fw = w() - 14, fh = h() - 14;
    if (flagKind == FlagRussian)
        drawRussianFlag(fx, fy, fw, fh);
    else
        drawBritishFlag(fx, fy, fw, fh);
}

int FlagButton::handle(int event) {
    trackHover(*this, hover, event);
    return Fl_Button::handle(event);
}

}  // namespace fan
