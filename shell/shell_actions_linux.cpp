// The file manager, the terminal and opening the trash, through the desktop's
// own programs. Every program gets its arguments as a vector and is never
// run through a shell, so no path is ever read as a command; the helpers are
// waited for only up to a time limit.
#include "shell/shell_actions.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <system_error>

#include "shell/file_uri.h"
#include "shell/local_volume_linux.h"
#include "shell/shell_calls_linux.h"
#include "shell/trash_linux.h"

namespace fan {

ShellCalls shellCalls = {
    ::fstatat,
    [](int dirfd, const char* path, int flags, mode_t mode) { return ::openat(dirfd, path, flags, mode); },
    ::statx,
    ::fdopendir,
    ::renameat2,
    runCommand,
    startProgram,
    std::chrono::milliseconds(3000),
    "/proc/self/mountinfo",
};

namespace {

// A helper that opens something and may stay in the foreground with what it
// opened (xdg-open without a desktop session waits for the program it
// starts): still running at the limit counts as done and is left to run.
CommandOutcome runOpener(const std::vector<std::string>& argv) {
    CommandOutcome outcome = shellCalls.runCommand(argv, shellCalls.helperTimeLimit, {false, false});
    if (outcome.timedOut) outcome = CommandOutcome{};
    return outcome;
}

// Asks the file manager over D-Bus to show the item selected in its folder.
// A client that gets no answer in time is stopped.
CommandOutcome showItemOverDBus(const std::filesystem::path& item) {
    // The URI is percent-encoded, so it holds no quote or backslash that
    // could end the GVariant string early, nor a comma for dbus-send's list.
    const std::string uri = fileUri(item);
    const CommandOptions options{false, true};
    CommandOutcome outcome =
        shellCalls.runCommand({"gdbus", "call", "--session", "--dest", "org.freedesktop.FileManager1", "--object-path",
                               "/org/freedesktop/FileManager1", "--method", "org.freedesktop.FileManager1.ShowItems",
                               "['" + uri + "']", "''"},
                              shellCalls.helperTimeLimit, options);
    if (outcome.startError == 0) return outcome;
    return shellCalls.runCommand(
        {"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.FileManager1", "--type=method_call",
         "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems", "array:string:" + uri, "string:"},
        shellCalls.helperTimeLimit, options);
}

// Absolute, so that no name can be taken for one of the opener's options.
std::filesystem::path absoluteNormal(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).lexically_normal();
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::status(path, ec));
}

ShellActionResult fromOutcome(const CommandOutcome& outcome, const char* action) {
    if (outcome.succeeded()) return {true, {}};
    return {false, std::string(action) + " failed (" + describeFailure(outcome) + ")"};
}

}  // namespace

ShellActionResult showInFileManager(const std::filesystem::path& path, bool selectNonFolders) {
    const std::filesystem::path item = absoluteNormal(path);
    if (isFolder(item) || !selectNonFolders) return fromOutcome(runOpener({"xdg-open", item.string()}), "File manager");
    if (showItemOverDBus(item).succeeded()) return {true, {}};
    std::filesystem::path folder = item.parent_path();
    if (folder.empty()) folder = item;
    return fromOutcome(runOpener({"xdg-open", folder.string()}), "File manager");
}

ShellActionResult openTerminal(const std::filesystem::path& path) {
    std::filesystem::path folder = path;
    if (!isFolder(path) && !path.parent_path().empty()) folder = path.parent_path();

    // $TERMINAL names one program: it is not split into words.
    std::vector<std::string> terminals;
    if (const char* chosen = std::getenv("TERMINAL"); chosen && chosen[0]) terminals.emplace_back(chosen);
    for (const char* name : {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"})
        terminals.emplace_back(name);
    int error = 0;
    for (const std::string& terminal : terminals) {
        error = shellCalls.startProgram({terminal}, folder.string());
        if (error == 0) return {true, {}};
    }
    return {false, std::string("Terminal failed (") + std::strerror(error) + ")"};
}

ShellActionResult openRecycleBin() {
    const CommandOutcome outcome = runOpener({"xdg-open", "trash:///"});
    if (outcome.succeeded()) return {true, {}};
    const std::filesystem::path home = homeTrashFolder();
    if (home.empty()) return fromOutcome(outcome, "Trash operation");
    std::error_code ec;
    std::filesystem::create_directories(home.parent_path(), ec);
    const FileDescriptor trash = openTrashFolder(AT_FDCWD, home.c_str(), true, true);
    if (trash.valid()) openTrashFolder(trash.get(), "files", true);
    return fromOutcome(runOpener({"xdg-open", (home / "files").string()}), "Trash operation");
}

}  // namespace fan
