// The nested event loop shared by the dialogs and the popup menu.
#include "ui/modal_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "ui/window_shape.h"

namespace fan {

void runModalWindow(Fl_Window& window, int cornerDiameter) {
    Fl_Window* previousGrab = Fl::grab();
    window.show();
    applyRoundedWindowShape(&window, cornerDiameter);
    // Focus first: the toolkit ignores focus changes while a grab is on.
    Fl::focus(&window);
    Fl::grab(&window);
    while (window.shown()) Fl::wait();
    Fl::grab(previousGrab);
}

}  // namespace fan
