// The check box's frame over the toolkit's drawing.
#include "ui/check_box.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/palette.h"

namespace fan {

CheckBox::CheckBox(int x, int y, int w, int h, const char* label) : Fl_Check_Button(x, y, w, h, label) {}

void CheckBox::draw() {
    Fl_Check_Button::draw();
    // Where Fl_Light_Button puts the box: a square of the label size, two
    // pixels inside the widget's own box, centred vertically.
    const int side = labelsize();
    const int left = x() + Fl::box_dx(box()) + 2;
    const int top = y() + (h() - side) / 2;
    strokeRoundedBox(left, top, side, side, 2, active_r() ? themeTextDim : fl_inactive(themeTextDim));
}

}  // namespace fan
