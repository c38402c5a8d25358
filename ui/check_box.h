// The check button of the settings window: the toolkit's, with a frame that
// stays visible on the panels of both themes.
#pragma once

#include <FL/Fl_Check_Button.H>

namespace fan {

// Draws as Fl_Check_Button, then outlines the box in the palette's dim text
// colour: the toolkit shades the box's frame from the control colour, which
// all but vanishes on a dark panel. Reads the palette when it draws.
class CheckBox : public Fl_Check_Button {
public:
    CheckBox(int x, int y, int w, int h, const char* label = nullptr);
    void draw() override;
};

}  // namespace fan
