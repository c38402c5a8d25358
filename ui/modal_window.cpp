// The nested event loop shared by the dialogs and the popup menu.
#include "ui/modal_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "ui/window_shape.h"

namespace fan {

namespace {

Fl_Event_Dispatch outerDispatch = nullptr;

// The toolkit drops every close request while a grab is on. The modal
// window's own close request is let through to its callback, so the window
// manager can still close a dialog; requests for other windows stay dropped.
int modalDispatch(int event, Fl_Window* window) {
    if (event == FL_CLOSE && window != nullptr && window == Fl::grab()) {
        window->do_callback();
        return 1;
    }
    return outerDispatch != nullptr ? outerDispatch(event, window) : Fl::handle_(event, window);
}

}  // namespace

void runModalWindow(Fl_Window& window, int cornerDiameter) {
    Fl_Window* previousGrab = Fl::grab();
    const Fl_Event_Dispatch previousDispatch = Fl::event_dispatch();
    if (previousDispatch != modalDispatch) outerDispatch = previousDispatch;

    window.show();
    applyRoundedWindowShape(&window, cornerDiameter);
    // Focus first: the toolkit ignores focus changes while a grab is on.
    Fl::focus(&window);
    Fl::grab(&window);
    Fl::event_dispatch(modalDispatch);
    while (window.shown())
        Fl::wait();
    Fl::event_dispatch(previousDispatch);
    Fl::grab(previousGrab);
}

}  // namespace fan
