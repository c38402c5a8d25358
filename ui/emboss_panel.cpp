// The emboss panel's drawing.
#include "ui/emboss_panel.h"

#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/palette.h"

namespace fan {

EmbossPanel::EmbossPanel(int x, int y, int w, int h, int radius) : Fl_Widget(x, y, w, h), radius(radius) {}

void EmbossPanel::draw() {
    const Fl_Color panel = darkTheme ? fl_color_average(themeSurface, themeBackground, 0.82f) : Fl_Color(0xF4F8FC00);
    if (w() > 4 && h() > 4) drawSoftPanel(x(), y(), w(), h(), radius, panel);
}

}  // namespace fan
