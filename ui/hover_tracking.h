// The hover bookkeeping the custom buttons share.
#pragma once

#include <FL/Enumerations.H>
#include <FL/Fl_Widget.H>

namespace fan {

// Sets `hover` on FL_ENTER, clears it on FL_LEAVE and redraws the widget;
// other events leave it alone. The caller still passes the event on.
inline void trackHover(Fl_Widget& widget, bool& hover, int event) {
    if (event != FL_ENTER && event != FL_LEAVE) return;
    hover = event == FL_ENTER;
    widget.redraw();
}

}  // namespace fan
