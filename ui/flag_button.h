// The language switch of the header: a small flag on a rounded button.
#pragma once

#include <FL/Fl_Button.H>

namespace fan {

// 0 Russian; any other value draws the British flag.
enum FlagKind : int { FlagRussian = 0, FlagBritish = 1 };

// A toolkit push button without a label. `selected` marks the flag of the
// current interface language; the language switch sets it, the button
// never changes it. GUI thread only.
class FlagButton : public Fl_Button {
public:
    FlagButton(int x, int y, int w, int h, int flagKind);
    ~FlagButton() override = default;

    void draw() override;
    // Tracks the pointer for the hover look, then behaves as Fl_Button.
    int handle(int event) override;

    int flagKind;
    bool selected = false;
    bool hover = false;
};

}  // namespace fan
