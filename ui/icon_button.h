// A square button with a line-drawn icon: gear, trash can or broom.
#pragma once

#include <FL/Fl_Button.H>

namespace fan {

// 0 gear (settings), 1 trash can (open the Recycle Bin), any other value
// the broom (empty it).
enum IconKind : int { Gear = 0, TrashCan = 1, Broom = 2 };

// A toolkit push button without a label; the icon is dim while inactive.
// GUI thread only.
class IconButton : public Fl_Button {
public:
    IconButton(int x, int y, int w, int h, int iconKind);
    ~IconButton() override = default;

    void draw() override;
    // Tracks the pointer for the hover look, then behaves as Fl_Button.
    int handle(int event) override;

    int iconKind;
    bool hover = false;
};

}  // namespace fan
