// The rounded-box and text drawing operations every custom widget, dialog,
// menu and the map use instead of the toolkit's box types.
//
// They draw with the toolkit's current graphics driver, so they may only be
// called while a widget is being drawn (or into an offscreen surface), on the
// GUI thread. Coordinates are window pixels; colours are Fl_Color values.
#pragma once

#include <FL/Enumerations.H>

#include <string>

namespace fan {

// A filled rounded rectangle. The radius is clamped to half the smaller side
// (halves rounded down); a clamped radius of 0 or less fills a plain rectangle.
void fillRoundedBox(int x, int y, int w, int h, int radius, Fl_Color colour);

// A one-pixel rounded outline whose straight edges lie on the box's first and
// last rows and columns. The radius is clamped as for the fill and is at
// least 1. Draws whatever it is given: callers skip boxes under 2 pixels.
void strokeRoundedBox(int x, int y, int w, int h, int radius, Fl_Color colour);

// A filled panel with a border, an inner highlight on the top and left and
// an inner shadow on the bottom and right. Colours depend on darkTheme.
void drawSoftPanel(int x, int y, int w, int h, int radius, Fl_Color background);

// Text in face 0 aligned in the box by `align` (the toolkit's alignment
// bits; inside and clip are added), clipped to the box. Breaks only at the
// text's own newlines. Every character is drawn as it is: an '@' never
// starts a toolkit symbol.
void drawTextAligned(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour, Fl_Align align);

// drawTextAligned, left-aligned and centred vertically.
void drawTextLeft(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour);

// One line from the box's left edge with its baseline centred in the box,
// clipped to it; no symbols, no wrapping. The text is drawn as displayText
// shows it, so a file name's bad bytes and control characters stay visible
// and never break the line.
void drawTextVCentered(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour);

}  // namespace fan
