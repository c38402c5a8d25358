// The map's ring images as the toolkit draws them: the rasterised pixels,
// scaled by the program when drawn larger than rasterised (FLTK 1.3 has no
// Fl_Image::scale) and held in the display's own pixel layout, so that
// sending them needs no conversion. An image drawn a second time is kept on
// the display: a redraw then only copies it and a change of a few rows
// uploads only those rows; one drawn once (most live preview images) goes
// straight to the window.
//
// GUI thread only. The map owns the image and the raster buffer behind it;
// the buffer must outlive the image and keep its size and address while the
// image lives (rows may change in place, followed by rasterRowsChanged).
#pragma once

#include <FL/Fl_Image.H>
#include <FL/x.H>

#include <cstdint>
#include <memory>

#include "ui/native_pixels.h"

namespace fan {

class MapImage : public Fl_Image {
public:
    // An image of raster x raster RGB `pixels` that draws at side x side
    // (side >= raster).
    MapImage(const uint8_t* pixels, int raster, int side);
    ~MapImage() override;

    // Raster rows begin to end - 1 changed in the buffer: the drawn pixels
    // and the display's copy follow.
    void rasterRowsChanged(int begin, int end);

    // The pixels as drawn, side x side of 0x00RRGGBB, rows top to bottom.
    const uint32_t* drawnPixels() const { return drawn_.pixels(); }

    void draw(int X, int Y, int W, int H, int cx = 0, int cy = 0) override;
    void uncache() override;

private:
    void put(int rowBegin, int rowEnd, int x, int y);

    const uint8_t* raster_;
    int rasterSide_;
    // Left uninitialised when made: every pixel is written before it is read.
    std::unique_ptr<uint32_t[]> source_;  // the raster in 32 bits, when scaled
    NativePixels drawn_;
    int draws_ = 0;
    Fl_Offscreen offscreen_ = 0;
};

}  // namespace fan
