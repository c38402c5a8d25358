// The rounded box at the bottom of the main window showing one status line.
#pragma once

#include <FL/Fl_Widget.H>

#include <string>

namespace fan {

// Reads the text it points at only when drawing, so the owner changes the
// string and redraws the bar. The string is not owned and must outlive the
// bar; null shows the box alone. GUI thread only.
class StatusBar : public Fl_Widget {
public:
    StatusBar(int x, int y, int w, int h, const std::string* text);
    ~StatusBar() override = default;

    void draw() override;

    const std::string* text;
};

}  // namespace fan
