// Carries the current theme into the native window frame (title bar, border).
#pragma once

class Fl_Window;

namespace fan {

// Tells the window manager whether the shown `window` wants a dark or a light
// frame, from darkTheme. On X11 this is the _GTK_THEME_VARIANT property
// ("dark" or "light") that common window managers read for the title bar.
// A null window, or one that is not shown (no native window yet), gets no
// call at all; every show is followed by a call, so it catches up then.
// Failures are ignored: the frame keeps the window manager's default.
// Called after each show and after each theme change, GUI thread only.
void applyWindowFrameTheme(Fl_Window* window);

}  // namespace fan
