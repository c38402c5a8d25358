// The few places where FLTK 1.3 and FLTK 1.4 differ for this program, kept
// together so that moving to 1.4 means editing this file alone.
//
// With 1.3 everything is drawn in device pixels (scale 1), the native X
// window comes from fl_xid, and Fl_Window::shape cannot be used because
// Debian's build leaves it without effect: rounded windows go through the X
// Shape extension instead (ui/window_shape.h). GUI thread only.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <cstddef>

#include "ui/image_resample.h"

namespace fan {
namespace compat {

// The X window behind a shown toolkit window; 0 while it is not shown.
// (1.4: fl_x11_xid.)
inline Window nativeWindow(const Fl_Window* window) {
    return window != nullptr ? fl_xid(window) : 0;
}

// The X connection the toolkit opened; null before the display is open.
inline Display* nativeDisplay() { return fl_display; }

// Device pixels per toolkit unit on a window's screen. 1.3 has no scaling.
// (1.4: Fl::screen_scale(window->screen_num()).)
inline float screenScale(const Fl_Window*) { return 1.0f; }

// An image of a raster x raster RGB buffer that draws at side x side window
// pixels. When the sizes match it points into `pixels`, which must outlive
// it; otherwise it owns a copy resampled once (bilinear). The caller owns
// the image. (1.4: an image over `pixels` and Fl_Image::scale(side, side,
// 0, 1), drawn at device resolution.) The toolkit's own bilinear copy is
// not used: at the map's sizes it takes tens of milliseconds per rebuild.
inline Fl_RGB_Image* imageDrawnAt(const unsigned char* pixels, int raster, int side) {
    if (raster == side) return new Fl_RGB_Image(pixels, raster, raster, 3);
    auto* data = new unsigned char[static_cast<size_t>(side) * static_cast<size_t>(side) * 3];
    resampleSquareRgb(pixels, raster, data, side);
    auto* image = new Fl_RGB_Image(data, side, side, 3);
    image->alloc_array = 1;  // the image deletes `data`
    return image;
}

}  // namespace compat
}  // namespace fan
