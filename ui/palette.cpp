// The two themes' colour tables and the colour helpers.
#include "ui/palette.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>

#include <algorithm>
#include <cmath>

namespace fan {

unsigned char darkTheme = 1;

Fl_Color themeBackground = 0;
Fl_Color themeSurface = 0;
Fl_Color themeControl = 0;
Fl_Color themeControlHover = 0;
Fl_Color themeText = 0;
Fl_Color themeTextDim = 0;
Fl_Color themeAccent = 0;
Fl_Color themeBorder = 0;
Fl_Color themeOnAccent = 0;
Fl_Color themeDanger = 0;
Fl_Color themeUsedSpace = 0;
Fl_Color themeGreySector = 0;
Fl_Color themeFreeSpace = 0;

namespace {

constexpr Fl_Color rgb(unsigned hex) {
    return static_cast<Fl_Color>(hex << 8);
}

struct PaletteRow {
    Fl_Color* colour;
    Fl_Color dark;
    Fl_Color light;
};

const PaletteRow paletteTable[] = {
    {&themeBackground, rgb(0x0F141A), rgb(0xF6F8FB)}, {&themeSurface, rgb(0x171D24), rgb(0xFFFFFF)},
    {&themeControl, rgb(0x1D252E), rgb(0xEEF2F6)},    {&themeControlHover, rgb(0x252F3A), rgb(0xE2E9F0)},
    {&themeText, rgb(0xEFF4F7), rgb(0x1B232B)},       {&themeTextDim, rgb(0x9AA9B5), rgb(0x5B6976)},
    {&themeAccent, rgb(0x6DDBB7), rgb(0x2BB48F)},     {&themeBorder, rgb(0x303C48), rgb(0xCCD6E0)},
    {&themeOnAccent, rgb(0x0C1F1D), rgb(0xFFFFFF)},   {&themeDanger, rgb(0xE05B5B), rgb(0xC23934)},
    {&themeUsedSpace, rgb(0x6E6491), rgb(0x7A70A0)},  {&themeGreySector, rgb(0x3D4B58), rgb(0xC6CFD8)},
    {&themeFreeSpace, rgb(0xEFF4F7), rgb(0xFFFFFF)},
};

Fl_Color packChannels(int r, int g, int b) {
    // 0 would be read by the toolkit as colour index 0, so black has its own index.
    if (r == 0 && g == 0 && b == 0) return FL_BLACK;
    return (static_cast<Fl_Color>(r) << 24) | (static_cast<Fl_Color>(g) << 16) | (static_cast<Fl_Color>(b) << 8);
}

}  // namespace

void applyPalette(bool dark) {
    darkTheme = dark ? 1 : 0;
    for (const PaletteRow& row : paletteTable)
        *row.colour = dark ? row.dark : row.light;

    uchar r, g, b;
    Fl::get_color(themeBackground, r, g, b);
    Fl::background(r, g, b);
    Fl::get_color(themeControl, r, g, b);
    Fl::background2(r, g, b);
    // background2 also picks a contrasting foreground of its own; setting the
    // foreground afterwards keeps ours.
    Fl::get_color(themeText, r, g, b);
    Fl::foreground(r, g, b);
    Fl::get_color(themeAccent, r, g, b);
    Fl::set_color(FL_SELECTION_COLOR, r, g, b);
    // Tooltips keep their own colours, the toolkit's yellow, unless told.
    Fl_Tooltip::color(themeSurface);
    Fl_Tooltip::textcolor(themeText);
}

Fl_Color shadeColor(Fl_Color c, int delta) {
    uchar r, g, b;
    Fl::get_color(c, r, g, b);
    auto shade = [delta](uchar channel) { return std::clamp(int(channel) + delta, 0, 255); };
    return packChannels(shade(r), shade(g), shade(b));
}

Fl_Color blendColors(Fl_Color a, Fl_Color b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    uchar ra, ga, ba, rb, gb, bb;
    Fl::get_color(a, ra, ga, ba);
    Fl::get_color(b, rb, gb, bb);
    auto mix = [t](uchar ca, uchar cb) { return int(std::round(ca * t + cb * (1.0 - t))); };
    return packChannels(mix(ra, rb), mix(ga, gb), mix(ba, bb));
}

}  // namespace fan
