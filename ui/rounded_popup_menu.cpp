// The popup menu's row layout, drawing and event handling.
#include "ui/rounded_popup_menu.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <utility>

#include "ui/draw_helpers.h"
#include "ui/palette.h"

namespace fan {

namespace {

constexpr int kFirstRowTop = 14;
constexpr int kRowHeight = 38;
constexpr int kRowPitch = 42;
constexpr int kSeparatorSpace = 12;

// Walks the rows top to bottom, calling visit(index, top) with each row's top.
template <typename Visit>
void forEachRowTop(const std::vector<ContextMenuItem>& items, Visit visit) {
    int top = kFirstRowTop;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].separatorBefore) top += kSeparatorSpace;
        if (!visit(int(i), top)) return;
        top += kRowPitch;
    }
}

}  // namespace

// The toolkit clears the current group when a top-level window is built and
// leaves none after end(); a caller in the middle of building its own window
// would otherwise add its next widgets to nothing.
RoundedPopupMenu::RoundedPopupMenu(int w, int h, std::vector<ContextMenuItem> items)
    : RoundedPopupMenu(Fl_Group::current(), w, h, std::move(items)) {}

RoundedPopupMenu::RoundedPopupMenu(Fl_Group* callersGroup, int w, int h, std::vector<ContextMenuItem> items)
    : Fl_Double_Window(w, h), items(std::move(items)) {
    end();
    Fl_Group::current(callersGroup);
}

int RoundedPopupMenu::rowAt(int x, int y) const {
    // The grab brings events from anywhere on the screen; beside the window,
    // at a row's height, is not on that row.
    if (x < 0 || x >= w()) return -1;
    int found = -1;
    forEachRowTop(items, [&](int index, int top) {
        if (y >= top && y <= top + kRowHeight - 1) found = index;
        return found < 0;
    });
    return found;
}

void RoundedPopupMenu::setHoveredRow(int row) {
    if (row == hoveredRow) return;
    hoveredRow = row;
    redraw();
}

void RoundedPopupMenu::draw() {
    const int W = w(), H = h();
    // The corners outside the panel show the window colour, so the menu also
    // looks right where the X server cannot round the window.
    draw_box(box(), 0, 0, W, H, color());
    if (W >= 5 && H >= 5) drawSoftPanel(0, 0, W, H, 13, themeSurface);
    forEachRowTop(items, [&](int index, int top) {
        const ContextMenuItem& item = items[size_t(index)];
        if (item.separatorBefore) {
            fl_color(themeBorder);
            fl_line(18, top - kSeparatorSpace + 4, W - 18, top - kSeparatorSpace + 4);
        }
        if (index == hoveredRow && item.enabled && W - 24 >= 1)
            fillRoundedBox(12, top, W - 24, kRowHeight, 8, themeControlHover);
        drawTextLeft(item.label, 28, top, W - 56, kRowHeight, 13, item.enabled ? themeText : themeTextDim);
        return true;
    });
}

int RoundedPopupMenu::handle(int event) {
    switch (event) {
        case FL_ENTER:
        case FL_MOVE:
            setHoveredRow(rowAt(Fl::event_x(), Fl::event_y()));
            return 1;
        case FL_LEAVE:
            setHoveredRow(-1);
            return 1;
        case FL_PUSH: {
            if (Fl::event_button() != FL_LEFT_MOUSE) break;
            const int row = rowAt(Fl::event_x(), Fl::event_y());
            if (row >= 0 && !items[size_t(row)].enabled) return 1;  // stays open
            if (row >= 0) chosenId = items[size_t(row)].id;
            hide();
            return 1;
        }
        case FL_KEYBOARD:
            if (Fl::event_key() != FL_Escape) break;
            hide();
            return 1;
        case FL_UNFOCUS:
            hide();
            return 1;
        default:
            break;
    }
    return Fl_Double_Window::handle(event);
}

}  // namespace fan
