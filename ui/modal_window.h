// Runs a borderless window (dialog or popup menu) modally over the program.
#pragma once

class Fl_Window;

namespace fan {

// Shows the placed `window`, rounds it with corner ellipses `cornerDiameter`
// across (rectangular where the X server cannot), gives it the keyboard
// focus and the event grab, and runs the toolkit's event loop until the
// window hides itself. Then hands the grab back to whoever held it before
// (nobody, usually). While it runs, a close request from the window manager
// for this window reaches the window's callback (the toolkit alone would
// drop it because of the grab). Timers keep firing meanwhile, so the scan display goes
// on underneath. GUI thread only; returns with the window hidden.
void runModalWindow(Fl_Window& window, int cornerDiameter);

}  // namespace fan
