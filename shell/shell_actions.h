// What the program does to the world outside its windows: show an item in
// the file manager, open a terminal, move an item to the Trash, empty the
// Trash and open it.
//
// Called on the GUI thread; each call returns once the helper programs it
// waits for have answered or run out of time (a terminal is never waited
// for). Failures come back as values with an English sentence naming the
// action and the system's reason; nothing here shows a dialog or throws. No
// toolkit header is included.
#pragma once

#include <filesystem>
#include <string>

namespace fan {

struct ShellActionResult {
    bool ok = false;
    std::string message;  // empty on success
};

// A file (or a path that no longer exists) is shown selected in its folder
// when selectNonFolders is set; a folder is opened itself.
ShellActionResult showInFileManager(const std::filesystem::path& path, bool selectNonFolders);
// Opens a terminal in the folder itself, or in a file's folder.
ShellActionResult openTerminal(const std::filesystem::path& path);
// True when the path lies on a local volume, where the Trash is offered.
bool isLocalVolume(const std::filesystem::path& path);
// Moves an item to a trash on its own device. Never copies, never deletes:
// when no such trash can be used the item stays where it is.
ShellActionResult moveToRecycleBin(const std::filesystem::path& path);
ShellActionResult emptyRecycleBin();
ShellActionResult openRecycleBin();

}  // namespace fan
