// A soft raised panel drawn behind a group of controls.
#pragma once

#include <FL/Fl_Widget.H>

namespace fan {

// Draws only; takes no events and owns nothing. Its colour follows the
// palette at draw time. GUI thread only.
class EmbossPanel : public Fl_Widget {
public:
    EmbossPanel(int x, int y, int w, int h, int radius);
    ~EmbossPanel() override = default;

    // Public so that a test can draw the panel into an offscreen surface.
    void draw() override;

    int radius;
};

}  // namespace fan
