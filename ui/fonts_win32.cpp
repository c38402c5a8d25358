// Font set-up for the interface on Windows.
#include <FL/Fl.H>

#include "ui/fonts.h"

namespace fan {

void installInterfaceFonts() {
    // The toolkit's Windows back end takes a name that does not start with
    // a style letter (' ', 'B', 'I', 'P') as it stands, at normal weight.
    Fl::set_font(FL_HELVETICA, "Segoe UI");
    Fl::set_font(FL_HELVETICA_BOLD, "Segoe UI Semibold");
}

}  // namespace fan
