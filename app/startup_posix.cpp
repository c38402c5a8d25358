// The command line and the window icons on POSIX systems.
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <vector>

#include "app/app_icon.h"
#include "app/startup.h"
#include "core/path_text.h"

namespace fan {

void quietCriticalErrors() {}

std::filesystem::path folderArgument(int argc, char** argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) return {};
    return pathFromText(argv[1]);
}

void installWindowIcons() {
    // The toolkit keeps its own copies; the images need not outlive the call.
    const std::vector<unsigned char> small = drawAppIcon(32);
    const std::vector<unsigned char> big = drawAppIcon(256);
    const Fl_RGB_Image smallImage(small.data(), 32, 32, 4);
    const Fl_RGB_Image bigImage(big.data(), 256, 256, 4);
    const Fl_RGB_Image* icons[] = {&bigImage, &smallImage};
    Fl_Window::default_icons(icons, 2);
}

}  // namespace fan
