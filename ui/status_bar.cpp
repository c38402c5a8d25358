// The status bar's drawing.
#include "ui/status_bar.h"

#include "ui/draw_helpers.h"
#include "ui/palette.h"

namespace fan {

StatusBar::StatusBar(int x, int y, int w, int h, const std::string* text) : Fl_Widget(x, y, w, h), text(text) {}

void StatusBar::draw() {
    if (w() >= 1 && h() >= 1) fillRoundedBox(x(), y(), w(), h(), 8, themeSurface);
    if (w() >= 2 && h() >= 2) strokeRoundedBox(x(), y(), w(), h(), 8, themeBorder);
    if (text != nullptr) drawTextVCentered(*text, x() + 14, y() + 2, w() - 28, h() - 4, 11, themeTextDim);
}

}  // namespace fan
