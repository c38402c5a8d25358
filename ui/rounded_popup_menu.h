// The borderless, rounded popup window used as the map's context menu.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <string>
#include <vector>

namespace fan {

// One row of a popup menu.
struct ContextMenuItem {
    std::string label;             // UTF-8
    uint32_t id = 0;               // reported when the row is clicked; 0 is a valid id
    bool enabled = true;           // a disabled row is drawn dim and ignores clicks
    bool separatorBefore = false;  // a thin line above the row
};

// A column of text rows that closes on the first left click, on Escape or
// when it loses the focus, remembering the id of the enabled row clicked.
// It knows nothing of what the rows mean. The caller owns it (usually on its
// stack), sizes, places and runs it (runModalWindow with corners of 26),
// then reads chosenId. GUI thread only.
//
// Rows start 14 pixels from the top, 38 high and 42 apart; a separator adds
// 12 above its row. Inside the window rows are matched by the pointer's
// height alone; outside it (the grab reports clicks anywhere) by none.
class RoundedPopupMenu : public Fl_Double_Window {
public:
    static constexpr uint32_t kNoChoice = 0xFFFFFFFFu;

    // A top-level window of w × h without a title and without children.
    // The group the caller was filling stays the current one.
    RoundedPopupMenu(int w, int h, std::vector<ContextMenuItem> items);
    ~RoundedPopupMenu() override = default;

    void draw() override;
    int handle(int event) override;

    std::vector<ContextMenuItem> items;
    uint32_t chosenId = kNoChoice;  // kNoChoice until an enabled row is clicked
    int32_t hoveredRow = -1;        // row under the pointer, -1 for none

private:
    // `callersGroup` is read before the window's own construction resets it.
    RoundedPopupMenu(Fl_Group* callersGroup, int w, int h, std::vector<ContextMenuItem> items);

    // The row whose band holds window row `y`, or -1 (gaps, separator
    // spaces, above the first and below the last row, and any `x` outside
    // the window).
    int rowAt(int x, int y) const;
    void setHoveredRow(int row);
};

}  // namespace fan
