#include "ui/map_image.h"

#include <FL/Fl_Device.H>
#include <FL/fl_draw.H>

#include <cstddef>

#include "ui/image_resample.h"
#include "ui/row_bands.h"

namespace fan {

namespace {

// Drawing to the screen, not to an image surface or a printer: only there
// do the display's own layout and the copy kept on the display help.
bool drawingToDisplay() {
    return Fl_Surface_Device::surface() == Fl_Display_Device::display_device();
}

void packRows(const uint8_t* rgb, int side, int begin, int end, uint32_t* out) {
    const size_t first = static_cast<size_t>(begin) * static_cast<size_t>(side);
    const size_t last = static_cast<size_t>(end) * static_cast<size_t>(side);
    for (size_t i = first; i < last; ++i) {
        const uint8_t* p = rgb + i * 3;
        out[i] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
}

// The toolkit's image drawing, for surfaces and displays that take RGB bytes.
struct RgbLines {
    const uint32_t* pixels;
    int width;
    int firstRow;
};

void rgbLine(void* data, int x, int y, int w, uchar* out) {
    const RgbLines& lines = *static_cast<const RgbLines*>(data);
    const uint32_t* p = lines.pixels + static_cast<size_t>(lines.firstRow + y) * static_cast<size_t>(lines.width) + x;
    for (int i = 0; i < w; ++i, out += 3) {
        out[0] = static_cast<uchar>(p[i] >> 16);
        out[1] = static_cast<uchar>(p[i] >> 8);
        out[2] = static_cast<uchar>(p[i]);
    }
}

}  // namespace

MapImage::MapImage(const uint8_t* pixels, int raster, int side)
    : Fl_Image(side, side, 4), raster_(pixels), rasterSide_(raster), drawn_(side, side) {
    uint32_t* drawn = drawn_.pixelsToChange();
    if (raster == side) {
        forRowBands(raster, [&](int begin, int end) { packRows(pixels, raster, begin, end, drawn); });
        return;
    }
    source_.reset(new uint32_t[static_cast<size_t>(raster) * static_cast<size_t>(raster)]);
    uint32_t* source = source_.get();
    forRowBands(raster, [&](int begin, int end) { packRows(pixels, raster, begin, end, source); });
    forRowBands(side, [&](int begin, int end) { resampleSquare(source, raster, drawn, side, begin, end); });
}

MapImage::~MapImage() {
    MapImage::uncache();
}

void MapImage::uncache() {
    if (offscreen_ != 0) fl_delete_offscreen(offscreen_);
    offscreen_ = 0;
    draws_ = 0;
}

void MapImage::rasterRowsChanged(int begin, int end) {
    RowSpan rows{begin, end};
    if (!source_) {
        packRows(raster_, rasterSide_, begin, end, drawn_.pixelsToChange());
    } else {
        packRows(raster_, rasterSide_, begin, end, source_.get());
        rows = resampledRows(rasterSide_, w(), begin, end);
        resampleSquare(source_.get(), rasterSide_, drawn_.pixelsToChange(), w(), rows.begin, rows.end);
    }
    if (offscreen_ != 0 && rows.begin < rows.end) {
        fl_begin_offscreen(offscreen_);
        put(rows.begin, rows.end, 0, 0);
        fl_end_offscreen();
    }
}

void MapImage::put(int rowBegin, int rowEnd, int x, int y) {
    if (drawingToDisplay() && drawn_.put(rowBegin, rowEnd, x, y)) return;
    RgbLines lines{drawn_.pixels(), w(), rowBegin};
    fl_draw_image(rgbLine, &lines, x, y + rowBegin, w(), rowEnd - rowBegin, 3);
}

void MapImage::draw(int X, int Y, int W, int H, int cx, int cy) {
    if (drawingToDisplay() && ++draws_ > 1) {
        if (offscreen_ == 0) {
            offscreen_ = fl_create_offscreen(w(), h());
            fl_begin_offscreen(offscreen_);
            put(0, h(), 0, 0);
            fl_end_offscreen();
        }
        fl_copy_offscreen(X, Y, W, H, offscreen_, cx, cy);
        return;
    }
    fl_push_clip(X, Y, W, H);
    put(0, h(), X - cx, Y - cy);
    fl_pop_clip();
}

}  // namespace fan
