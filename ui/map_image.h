// The full map's ring image as the toolkit draws it: the rasterised pixels,
// resampled by the program when drawn larger than rasterised (FLTK 1.3 has
// no Fl_Image::scale), and kept on the display so that a redraw only copies
// it and a change of a few rows uploads only those rows.
//
// GUI thread only. The map owns the image and the raster buffer behind it;
// the buffer must outlive the image and keep its size and address while the
// image lives (rows may change in place, followed by rasterRowsChanged).
#pragma once

#include <FL/Fl_RGB_Image.H>
#include <FL/x.H>

#include <cstdint>

namespace fan {

class MapImage : public Fl_RGB_Image {
public:
    // An image of raster x raster RGB `pixels` that draws at side x side
    // (side >= raster).
    MapImage(const uint8_t* pixels, int raster, int side);
    ~MapImage() override;

    // Raster rows begin to end - 1 changed in the buffer: the drawn pixels
    // and the display's copy follow.
    void rasterRowsChanged(int begin, int end);

    void draw(int X, int Y, int W, int H, int cx = 0, int cy = 0) override;
    void uncache() override;

private:
    static const uchar* drawnPixels(const uint8_t* pixels, int raster, int side);
    void upload(int rowBegin, int rowEnd);

    const uint8_t* raster_;
    int rasterSide_;
    Fl_Offscreen offscreen_ = 0;
};

}  // namespace fan
