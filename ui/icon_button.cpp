// The icon button's look and its three icons.
#include "ui/icon_button.h"

#include <FL/fl_draw.H>

#include <cmath>

#include "ui/draw_helpers.h"
#include "ui/hover_tracking.h"
#include "ui/palette.h"

namespace fan {

namespace {

// M_PI is not part of standard C++, and strict builds (mingw) lack it.
constexpr double kPi = 3.14159265358979323846;

void drawGear(int cx, int cy) {
    fl_arc(cx - 5, cy - 5, 10, 10, 0, 360);
    fl_arc(cx - 2, cy - 2, 4, 4, 0, 360);
    for (int i = 0; i < 8; ++i) {
        const double a = i * 2.0 * kPi * 0.125;
        // lround: halves away from zero, so the spokes stay symmetric.
        fl_line(cx + int(std::lround(6 * std::cos(a))), cy + int(std::lround(6 * std::sin(a))),
                cx + int(std::lround(9 * std::cos(a))), cy + int(std::lround(9 * std::sin(a))));
    }
}

void drawTrashCan(int cx, int cy) {
    fl_rect(cx - 6, cy - 5, 12, 11);
    fl_line(cx - 8, cy - 7, cx + 8, cy - 7);
    fl_line(cx - 3, cy - 9, cx + 3, cy - 9);
    fl_line(cx - 2, cy - 3, cx - 2, cy + 4);
    fl_line(cx + 2, cy - 3, cx + 2, cy + 4);
}

void drawBroom(int cx, int cy) {
    fl_line(cx - 7, cy - 7, cx + 6, cy + 6);
    fl_line(cx - 5, cy - 9, cx + 8, cy + 4);
    fl_line(cx + 3, cy + 5, cx + 8, cy + 9);
    fl_line(cx + 5, cy + 3, cx + 10, cy + 7);
    fl_line(cx + 1, cy + 7, cx + 6, cy + 11);
}

}  // namespace

IconButton::IconButton(int x, int y, int w, int h, int iconKind) : Fl_Button(x, y, w, h), iconKind(iconKind) {
    box(FL_NO_BOX);
}

void IconButton::draw() {
    const bool active = active_r();
    Fl_Color fill = themeControl;
    if (!active)
        fill = blendColors(themeControl, themeBackground, 0.55);
    else if (hover)
        fill = themeControlHover;
    if (w() >= 1 && h() >= 1) fillRoundedBox(x(), y(), w(), h(), 8, fill);
    const Fl_Color border = hover ? shadeColor(themeBorder, 16) : themeBorder;
    if (w() >= 2 && h() >= 2) strokeRoundedBox(x(), y(), w(), h(), 8, border);

    fl_color(active ? themeText : themeTextDim);
    const int cx = x() + w() / 2, cy = y() + h() / 2;
    switch (iconKind) {
        case Gear:
            drawGear(cx, cy);
            break;
        case TrashCan:
            drawTrashCan(cx, cy);
            break;
        default:
            drawBroom(cx, cy);
            break;
    }
}

int IconButton::handle(int event) {
    trackHover(*this, hover, event);
    return Fl_Button::handle(event);
}

}  // namespace fan
