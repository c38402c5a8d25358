// Rounded outlines for borderless windows (dialogs and popup menus).
#pragma once

#include <vector>

class Fl_Window;

namespace fan {

// One horizontal band of a window shape, in the window's own pixels.
struct ShapeSpan {
    int x, y, w, h;
};

// The pixels of a w × h rectangle with rounded corners whose ellipses are
// `diameter` pixels across (clamped to the smaller side), as bands from top
// to bottom: one per row in the corner zones, one for the straight middle.
// A pixel belongs to the shape when its centre lies inside. Empty for an
// empty rectangle; the whole rectangle for a diameter below 2.
std::vector<ShapeSpan> roundedRectangleSpans(int w, int h, int diameter);

// Cuts the shown `window` to roundedRectangleSpans(w, h, diameter) with the
// X Shape extension, called on the native window directly (the toolkit's own
// Fl_Window::shape does nothing in Debian's FLTK 1.3). Returns false and
// leaves the window rectangular, and fully working, when the window is not
// shown or the X server lacks the extension. GUI thread only.
bool applyRoundedWindowShape(Fl_Window* window, int diameter);

// Whether the X server offers the Shape extension. Tests swap in their own
// answer to run the rectangular fallback; null restores the real query.
using ShapeSupportProbe = bool (*)();
void setShapeSupportProbe(ShapeSupportProbe probe);

}  // namespace fan
