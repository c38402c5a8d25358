// Rounded window outlines through the X Shape extension.
#include "ui/window_shape.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cmath>

#include "ui/fltk_compat.h"

namespace fan {

namespace {

bool serverHasShapeExtension() {
    Display* display = compat::nativeDisplay();
    int eventBase = 0, errorBase = 0;
    return display != nullptr && XShapeQueryExtension(display, &eventBase, &errorBase);
}

ShapeSupportProbe shapeSupportProbe = serverHasShapeExtension;

// Columns cut off at each end of row `row` of a corner zone `d` rows high:
// the first pixel whose centre lies inside the corner circle.
int cornerInset(int row, int d) {
    const double r = d / 2.0;
    const double dy = r - (row + 0.5);
    const double halfChord = std::sqrt(std::max(0.0, r * r - dy * dy));
    return std::max(0, int(std::ceil(r - halfChord - 0.5)));
}

}  // namespace

std::vector<ShapeSpan> roundedRectangleSpans(int w, int h, int diameter) {
    std::vector<ShapeSpan> spans;
    if (w <= 0 || h <= 0) return spans;
    const int d = std::min({diameter, w, h});
    if (d < 2) {
        spans.push_back({0, 0, w, h});
        return spans;
    }
    const int corner = d / 2;  // rows in each corner zone
    for (int row = 0; row < corner; ++row) {
        const int inset = cornerInset(row, d);
        spans.push_back({inset, row, w - 2 * inset, 1});
    }
    if (h - 2 * corner > 0) spans.push_back({0, corner, w, h - 2 * corner});
    for (int row = corner - 1; row >= 0; --row) {
        const int inset = cornerInset(row, d);
        spans.push_back({inset, h - 1 - row, w - 2 * inset, 1});
    }
    return spans;
}

bool applyRoundedWindowShape(Fl_Window* window, int diameter) {
    if (window == nullptr || !window->shown()) return false;
    Window xid = compat::nativeWindow(window);
    Display* display = compat::nativeDisplay();
    if (xid == 0 || display == nullptr || !shapeSupportProbe()) return false;

    std::vector<XRectangle> rectangles;
    for (const ShapeSpan& s : roundedRectangleSpans(window->w(), window->h(), diameter)) {
        if (s.w <= 0) continue;
        rectangles.push_back({short(s.x), short(s.y), (unsigned short)(s.w), (unsigned short)(s.h)});
    }
    XShapeCombineRectangles(display, xid, ShapeBounding, 0, 0, rectangles.data(), int(rectangles.size()), ShapeSet,
                            YXBanded);
    XFlush(display);
    return true;
}

void setShapeSupportProbe(ShapeSupportProbe probe) {
    shapeSupportProbe = probe != nullptr ? probe : serverHasShapeExtension;
}

}  // namespace fan
