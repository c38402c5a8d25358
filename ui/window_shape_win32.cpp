// Rounded window outlines through a GDI window region.
#include <windows.h>

#include "ui/fltk_compat.h"
#include "ui/window_shape.h"

namespace fan {
namespace {

// Window regions are always there on Windows; tests may still ask for the
// rectangular fallback.
bool regionsAvailable() {
    return true;
}

ShapeSupportProbe shapeSupportProbe = regionsAvailable;

}  // namespace

bool applyRoundedWindowShape(Fl_Window* window, int diameter) {
    if (window == nullptr || !window->shown()) return false;
    const HWND handle = compat::nativeWindow(window);
    if (handle == nullptr || !shapeSupportProbe()) return false;
    // The region's right and bottom edges are exclusive, hence the + 1.
    const HRGN region = CreateRoundRectRgn(0, 0, window->w() + 1, window->h() + 1, diameter, diameter);
    if (region == nullptr) return false;
    // On success the system owns the region; otherwise it is ours to delete.
    if (!SetWindowRgn(handle, region, TRUE)) {
        DeleteObject(region);
        return false;
    }
    return true;
}

void setShapeSupportProbe(ShapeSupportProbe probe) {
    shapeSupportProbe = probe != nullptr ? probe : regionsAvailable;
}

}  // namespace fan
