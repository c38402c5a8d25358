// The command line and the window icons on Windows.
#include <windows.h>

#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "app/command_line.h"
#include "app/startup.h"

namespace fan {

namespace {

constexpr int kIconResource = 101;  // the icon group of the program's resources

HICON loadIcon(int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

void quietCriticalErrors() {
    SetErrorMode(SEM_FAILCRITICALERRORS);
}

// argv holds the arguments in the ANSI code page, which cannot spell every
// name; the wide command line can.
std::filesystem::path folderArgument(int, char**) {
    return commandLineFolder(GetCommandLineW());
}

void installWindowIcons() {
    // A missing icon is null, which the toolkit takes as "no icon".
    Fl_Window::default_icons(loadIcon(256), loadIcon(32));
}

}  // namespace fan
