// The program's start: what main does before and after the event loop.
#pragma once

#include <filesystem>

namespace fan {

// Keeps the system from asking the user to insert a medium when a drive
// without one (an empty card reader) is queried: the query fails instead.
// The first step of start-up, before any volume is queried; nothing to do
// where the system never asks.
void quietCriticalErrors();

// The folder to scan at start-up: the first argument as the raw bytes the
// system gave (a name that is not UTF-8 still leads to its folder), or an
// empty path without one. Further arguments are ignored.
std::filesystem::path folderArgument(int argc, char** argv);

// Hands the program's own icon, at 32 and 256 pixels, to every window the
// toolkit opens from now on. GUI thread, before the first window is shown.
void installWindowIcons();

// Icons, fonts, scheme and palette; the main window built and shown; the
// scan of the folder argument started; the event loop run until the last
// window is hidden; the window torn down (which stops and joins a running
// scan and saves the settings). Returns the event loop's value.
int runProgram(int argc, char** argv);

}  // namespace fan
