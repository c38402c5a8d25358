// Start-up and the event loop.
#include "app/startup.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <vector>

#include "app/app.h"
#include "app/app_icon.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/window_frame.h"

namespace fan {

std::filesystem::path folderArgument(int argc, char** argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) return {};
    return std::filesystem::path(argv[1]);
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

int runProgram(int argc, char** argv) {
    installWindowIcons();
    installInterfaceFonts();
    Fl::scheme("gtk+");
    applyPalette(true);
    const std::filesystem::path folder = folderArgument(argc, argv);

    App app;
    app.updateControls();
    app.show();
    applyWindowFrameTheme(&app);
    if (!folder.empty()) app.start(folder, false);
    return Fl::run();
}

}  // namespace fan
