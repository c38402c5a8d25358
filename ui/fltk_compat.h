// The few places where FLTK 1.3 and FLTK 1.4 differ for this program, kept
// together so that moving to 1.4 means editing this file alone.
//
// With 1.3 everything is drawn in device pixels (scale 1), the native X
// window comes from fl_xid, and Fl_Window::shape cannot be used because
// Debian's build leaves it without effect: rounded windows go through the X
// Shape extension instead (ui/window_shape.h). 1.3 cannot draw an image at
// another size (no Fl_Image::scale): the map's ring images scale
// themselves (ui/map_image.h). GUI thread only.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "ui/map_image.h"

namespace fan {
namespace compat {

// The native window (X window, or HWND on Windows) behind a shown toolkit
// window; 0 while it is not shown. (1.4: fl_x11_xid / fl_win32_xid.)
inline Window nativeWindow(const Fl_Window* window) {
    return window != nullptr ? fl_xid(window) : 0;
}

#ifndef _WIN32
// The X connection the toolkit opened; null before the display is open.
inline Display* nativeDisplay() {
    return fl_display;
}
#endif

// Hands the drawing requested so far to the display, which then works on it
// while this thread goes on. (Windows draws at once.)
inline void sendDrawingToDisplay() {
#ifndef _WIN32
    if (fl_display != nullptr) XFlush(fl_display);
#endif
}

// Device pixels per toolkit unit on a window's screen. 1.3 has no scaling.
// (1.4: Fl::screen_scale(window->screen_num()).)
inline float screenScale(const Fl_Window*) {
    return 1.0f;
}

// An image of a raster x raster RGB buffer that draws at side x side window
// pixels (side >= raster); `pixels` must outlive it. The caller owns it.
// (1.4: an Fl_RGB_Image over `pixels` with Fl_Image::scale(side, side, 0, 1).)
inline Fl_Image* imageDrawnAt(const unsigned char* pixels, int raster, int side) {
    return new MapImage(pixels, raster, side);
}

}  // namespace compat
}  // namespace fan
