// The window frame theme on X11: the _GTK_THEME_VARIANT window property.
#include "ui/window_frame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

#include "ui/fltk_compat.h"
#include "ui/palette.h"

namespace fan {

void applyWindowFrameTheme(Fl_Window* window) {
    if (window == nullptr || !window->shown()) return;
    Window xid = compat::nativeWindow(window);
    Display* display = compat::nativeDisplay();
    if (xid == 0 || display == nullptr) return;

    const char* variant = darkTheme ? "dark" : "light";
    Atom property = XInternAtom(display, "_GTK_THEME_VARIANT", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, xid, property, utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(variant),
                    static_cast<int>(std::strlen(variant)));
    XFlush(display);
}

}  // namespace fan
