// Pixels straight into an X drawable with XPutImage.
#include "ui/native_pixels.h"

#include <FL/x.H>

#include <cstring>

namespace fan {

namespace {

// The visual of nearly every X server today: TrueColor of depth 24 held in
// 32 bits, red in the high byte. Checked once, when first drawing.
bool displayTakesOurLayout() {
    const Visual* visual = fl_visual->visual;
    if (fl_visual->depth != 24 || fl_visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
        return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(fl_display, &count);
    bool bits32 = false;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == 24) bits32 = formats[i].bits_per_pixel == 32;
    if (formats != nullptr) XFree(formats);
    return bits32;
}

}  // namespace

bool putNativeRows(const uint32_t* pixels, int width, int rowBegin, int rowEnd, int x, int y) {
    static const bool native = displayTakesOurLayout();
    if (!native) return false;
    if (rowBegin >= rowEnd) return true;
    XImage image;
    std::memset(&image, 0, sizeof image);
    image.width = width;
    image.height = rowEnd;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(const_cast<uint32_t*>(pixels));
    // The bytes of a uint32_t as this machine stores them; Xlib swaps them
    // for a server of the other order.
    const uint32_t probe = 1;
    unsigned char lowFirst = 0;
    std::memcpy(&lowFirst, &probe, 1);
    image.byte_order = lowFirst ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = 24;
    image.bytes_per_line = width * 4;
    image.bits_per_pixel = 32;
    image.red_mask = 0xFF0000;
    image.green_mask = 0xFF00;
    image.blue_mask = 0xFF;
    if (!XInitImage(&image)) return false;
    XPutImage(fl_display, fl_window, fl_gc, &image, 0, rowBegin, x, y + rowBegin, static_cast<unsigned>(width),
              static_cast<unsigned>(rowEnd - rowBegin));
    return true;
}

}  // namespace fan
