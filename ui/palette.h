// The program's two themes: the dark/light flag, the thirteen palette colours
// every window draws with, and the two colour helpers that derive shades.
//
// All of it is plain global data used on the GUI thread only. Only
// applyPalette writes the flag and the colours; drawing code reads them at
// draw time, so a theme change shows on the next redraw.
#pragma once

#include <FL/Enumerations.H>

namespace fan {

// 1 dark, 0 light. Starts dark before anything runs.
extern unsigned char darkTheme;

// Colours in the toolkit's RGB form 0xRRGGBB00; 0 until the first applyPalette.
extern Fl_Color themeBackground;
extern Fl_Color themeSurface;
extern Fl_Color themeControl;
extern Fl_Color themeControlHover;
extern Fl_Color themeText;
extern Fl_Color themeTextDim;
extern Fl_Color themeAccent;
extern Fl_Color themeBorder;
extern Fl_Color themeOnAccent;
extern Fl_Color themeDanger;
extern Fl_Color themeUsedSpace;
extern Fl_Color themeGreySector;
extern Fl_Color themeFreeSpace;

// Sets darkTheme and all thirteen colours, and hands the background,
// background2, foreground and selection colours to the toolkit so stock
// widgets follow, and the surface and text colours to its tooltips. Redraws nothing: the caller re-themes and redraws
// its windows. Called at start-up and on every theme change.
void applyPalette(bool dark);

// `c` with `delta` added to each channel, clamped to 0..255. Indexed colours
// (below 256) are looked up in the toolkit's colour map first. Pure black
// comes back as FL_BLACK, never as 0, which the toolkit reads as an index.
Fl_Color shadeColor(Fl_Color c, int delta);

// A mix with weight `t` (clamped to 0..1) on `a`, each channel rounded half
// away from zero. Unlike fl_color_average, which truncates. Pure black comes
// back as FL_BLACK.
Fl_Color blendColors(Fl_Color a, Fl_Color b, double t);

}  // namespace fan
