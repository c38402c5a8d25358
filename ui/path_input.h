// The path field: a one-line text input that stays one line for paths of
// any length.
#pragma once

#include <FL/Fl_Input.H>

namespace fan {

// FLTK 1.3 lays out an input's text in pieces of about a thousand bytes and
// draws each piece on a line of its own, even in a one-line input, so a deep
// path would spill onto a second line. This input shows only the first line.
class PathInput : public Fl_Input {
public:
    PathInput(int x, int y, int w, int h) : Fl_Input(x, y, w, h) {}
    void draw() override;
};

}  // namespace fan
