// The steps of the shell actions that touch the system, routed through one
// table so a test can make a single step fail (or see what would have been
// started) and check that nothing is lost and the message is clear.
#pragma once

#include <chrono>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

#include "settings/timed_command.h"

namespace fan {

struct ShellCalls {
    // The device check (where an item and a trash folder lie), and what an
    // entry met while emptying is.
    int (*fstatat)(int dirfd, const char* path, struct stat* status, int flags);
    // Creating the .trashinfo file (always with O_EXCL), and reading a
    // descriptor's fdinfo where the kernel gives its mount only there.
    int (*openat)(int dirfd, const char* path, int flags, mode_t mode);
    // Whether an entry is the root of a mount, and which mount a folder
    // opened while emptying lies on.
    int (*statx)(int dirfd, const char* path, int flags, unsigned mask, struct statx* status);
    // Listing a folder while emptying.
    DIR* (*fdopendir)(int fd);
    // Moving the item into files/ (always with RENAME_NOREPLACE).
    int (*renameat2)(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
    // Helpers waited for (gdbus, dbus-send, xdg-open) and programs left to
    // run (terminals); see timed_command.h.
    CommandOutcome (*runCommand)(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                                 const CommandOptions& options);
    int (*startProgram)(const std::vector<std::string>& argv, const std::string& workingDirectory);
    std::chrono::milliseconds helperTimeLimit;
    // Which volumes exist: the text of the kernel's mount table.
    std::string mountTable;
};

// The real calls. Tests replace an entry and put the real one back; only the
// GUI thread (or a single test thread) touches it.
extern ShellCalls shellCalls;

}  // namespace fan
