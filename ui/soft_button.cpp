// The soft button's look and hover tracking.
#include "ui/soft_button.h"

#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/hover_tracking.h"
#include "ui/palette.h"

namespace fan {

SoftButton::SoftButton(int x, int y, int w, int h, const char* label) : Fl_Button(x, y, w, h, label) {
    box(FL_NO_BOX);
}

void SoftButton::draw() {
    const bool active = active_r();
    Fl_Color fill = color();
    if (!active)
        fill = fl_color_average(fill, themeBackground, 0.52f);
    else if (value())
        fill = shadeColor(fill, -10);
    else if (hover)
        fill = shadeColor(fill, 8);
    if (w() >= 1 && h() >= 1) fillRoundedBox(x(), y(), w(), h(), 7, fill);

    Fl_Color border = themeBorder;
    if (!active)
        border = shadeColor(themeBorder, -8);
    else if (hover)
        border = shadeColor(themeBorder, 14);
    if (w() >= 2 && h() >= 2) strokeRoundedBox(x(), y(), w(), h(), 7, border);

    const Fl_Color ownLabelColour = labelcolor();
    if (!active) labelcolor(themeTextDim);
    draw_label();
    labelcolor(ownLabelColour);
}

int SoftButton::handle(int event) {
    trackHover(*this, hover, event);
    return Fl_Button::handle(event);
}

}  // namespace fan
