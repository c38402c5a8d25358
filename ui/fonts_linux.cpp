// Font set-up for the interface on Linux.
#include "ui/fonts.h"

#include <FL/Fl.H>

namespace fan {

void installInterfaceFonts() {
    // FLTK's Xft back end reads the first character of a name as the style:
    // ' ' regular, 'B' bold.
    Fl::set_font(FL_HELVETICA, " DejaVu Sans");
    Fl::set_font(FL_HELVETICA_BOLD, "BDejaVu Sans");
}

}  // namespace fan
