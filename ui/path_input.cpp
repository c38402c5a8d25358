// The path field, drawn as the toolkit's input but clipped to its first line.
#include "ui/path_input.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace fan {

void PathInput::draw() {
    const Fl_Boxtype frame = box();
    if (damage() & FL_DAMAGE_ALL) draw_box(frame, color());
    const int X = x() + Fl::box_dx(frame);
    const int Y = y() + Fl::box_dy(frame);
    const int W = w() - Fl::box_dw(frame);
    const int H = h() - Fl::box_dh(frame);
    // The toolkit centres the first line in the box; later pieces of a long
    // text would follow below it.
    fl_font(textfont(), textsize());
    const int line = fl_height();
    fl_push_clip(X, Y + (H - line) / 2, W, line);
    drawtext(X, Y, W, H);
    fl_pop_clip();
}

}  // namespace fan
