#include "ui/map_image.h"

#include <FL/Fl_Device.H>
#include <FL/fl_draw.H>

#include <cstddef>

#include "ui/image_resample.h"

namespace fan {

namespace {

// Drawing to the screen, not to an image surface or a printer: only there
// does the copy kept on the display help.
bool drawingToDisplay() {
    return Fl_Surface_Device::surface() == Fl_Display_Device::display_device();
}

}  // namespace

const uchar* MapImage::drawnPixels(const uint8_t* pixels, int raster, int side) {
    if (raster == side) return pixels;
    auto* drawn = new uchar[static_cast<size_t>(side) * static_cast<size_t>(side) * 3];
    resampleSquareRgb(pixels, raster, drawn, side);
    return drawn;
}

MapImage::MapImage(const uint8_t* pixels, int raster, int side)
    : Fl_RGB_Image(drawnPixels(pixels, raster, side), side, side, 3), raster_(pixels), rasterSide_(raster) {
    alloc_array = array != pixels;  // the resampled copy is ours to delete
}

MapImage::~MapImage() {
    MapImage::uncache();
}

void MapImage::uncache() {
    if (offscreen_ != 0) fl_delete_offscreen(offscreen_);
    offscreen_ = 0;
    Fl_RGB_Image::uncache();
}

void MapImage::rasterRowsChanged(int begin, int end) {
    RowSpan rows{begin, end};
    if (alloc_array) {
        rows = resampledRows(rasterSide_, w(), begin, end);
        resampleSquareRgb(raster_, rasterSide_, const_cast<uchar*>(array), w(), rows.begin, rows.end);
    }
    if (offscreen_ != 0 && rows.begin < rows.end) upload(rows.begin, rows.end);
}

void MapImage::upload(int rowBegin, int rowEnd) {
    fl_begin_offscreen(offscreen_);
    fl_draw_image(array + static_cast<size_t>(rowBegin) * static_cast<size_t>(w()) * 3, 0, rowBegin, w(),
                  rowEnd - rowBegin, 3);
    fl_end_offscreen();
}

void MapImage::draw(int X, int Y, int W, int H, int cx, int cy) {
    if (!drawingToDisplay()) {
        fl_push_clip(X, Y, W, H);
        fl_draw_image(array, X - cx, Y - cy, w(), h(), 3);
        fl_pop_clip();
        return;
    }
    if (offscreen_ == 0) {
        offscreen_ = fl_create_offscreen(w(), h());
        upload(0, h());
    }
    fl_copy_offscreen(X, Y, W, H, offscreen_, cx, cy);
}

}  // namespace fan
