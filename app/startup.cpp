// Start-up and the event loop. The command line and the window icons are
// the platform's: startup_posix.cpp, startup_win32.cpp.
#include "app/startup.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "app/app.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/window_frame.h"

namespace fan {

int runProgram(int argc, char** argv) {
    quietCriticalErrors();
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
