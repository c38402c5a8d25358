// The flat rounded push button used throughout the interface.
#pragma once

#include <FL/Fl_Button.H>

namespace fan {

// A toolkit push button (same events, value and callbacks) drawn as a
// rounded box in its color(), shaded when hovered, pressed or inactive. The
// owner sets the colour, label colour and font. GUI thread only.
class SoftButton : public Fl_Button {
public:
    SoftButton(int x, int y, int w, int h, const char* label = nullptr);
    ~SoftButton() override = default;

    void draw() override;
    // Tracks the pointer for the hover look, then behaves as Fl_Button.
    int handle(int event) override;

    bool hover = false;
};

}  // namespace fan
