// The Linux settings store: a file of Name=decimal lines in the user's
// config folder, standing in for the registry key, with the system calls
// that change files routed through a table a test can swap, one call at a
// time, to make that step fail.
#pragma once

#include <string>
#include <sys/types.h>

namespace fan {

struct SettingsFileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*fchmod)(int fd, mode_t mode);
    int (*rename)(const char* from, const char* to);
};

// The real calls. Tests replace an entry and put the real one back; only
// the GUI thread (or a single test thread) touches it.
extern SettingsFileCalls settingsFileCalls;

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config, else
// the password database's home plus /.config (a relative home counts as
// none); empty when no home is known.
std::string userConfigFolder();

// userConfigFolder()/fanOrbiter, which holds settings.conf and the legacy
// settings.ini; empty when no home is known (nothing is read or saved then).
std::string settingsFolder();

}  // namespace fan
