// The settings store as a file: read leniently, written whole or not at all.
#include "settings/settings_file_linux.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "settings/regular_file.h"
#include "settings/settings_value_store.h"
#include "settings/text_lines.h"

namespace fan {

SettingsFileCalls settingsFileCalls = {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    [](int fd, const void* data, size_t size) { return ::write(fd, data, size); },
    [](int fd) { return ::fsync(fd); },
    [](int fd, mode_t mode) { return ::fchmod(fd, mode); },
    [](const char* from, const char* to) { return ::rename(from, to); },
};

namespace {

constexpr const char* kStoreName = "/settings.conf";
constexpr const char* kLegacyName = "/settings.ini";

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry;
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// "-"? digits, and nothing else, within the signed 32-bit range.
std::optional<int32_t> wholeInt32(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return int32_t(value);
}

// Creates the missing folders of `path` (private, as config folders are).
bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = settingsFileCalls.write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Where a save must go: the store itself, or the final target when it is a
// symbolic link (a dotfiles repository), so the link stays a link. A target
// that does not exist yet is created; a loop gives up on the link.
std::string storeTarget(const std::string& store) {
    std::string target = store;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        std::vector<char> link(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0 || size_t(length) >= link.size()) return {};
        const std::string next(link.data(), size_t(length));
        if (next[0] == '/') {
            target = next;
        } else {
            target.erase(target.rfind('/') + 1);  // npos + 1: no folder, the link is beside us
            target += next;
        }
    }
    return {};
}

// Opens a fresh temporary file beside the store; -1 when none can be made.
int openTemporary(const std::string& folder, std::string& path) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        path = folder + "/.settings.conf." + std::to_string(::getpid()) + "." + std::to_string(serial++);
        const int fd = settingsFileCalls.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file the mode of the one it replaces, so that a store the
// user made private stays private; a new store keeps the default mode.
bool keepModeOf(const std::string& target, int fd) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) return errno == ENOENT;
    return settingsFileCalls.fchmod(fd, st.st_mode & 07777) == 0;
}

}  // namespace

std::string userConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const std::string home = homeFolder();
    return home.empty() ? home : home + "/.config";
}

std::string settingsFolder() {
    const std::string config = userConfigFolder();
    return config.empty() ? config : config + "/fanOrbiter";
}

void readStoredValues(const char* const* names, std::optional<int32_t>* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
        values[i].reset();
    const std::string folder = settingsFolder();
    if (folder.empty()) return;
    const std::optional<std::string> text = readRegularFile(folder + kStoreName);
    if (!text) return;

    std::string_view rest = *text;
    while (!rest.empty()) {
        const std::string_view line = takeLine(rest);
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        for (size_t i = 0; i < count; ++i)
            if (line.substr(0, eq) == names[i]) values[i] = wholeInt32(line.substr(eq + 1));
    }
}

bool writeStoredValues(const StoredValue* values, size_t count) {
    const std::string folder = settingsFolder();
    if (folder.empty() || !makeFolders(folder)) return false;

    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += std::string(values[i].name) + "=" + std::to_string(values[i].value) + "\n";

    const std::string target = storeTarget(folder + kStoreName);
    if (target.empty()) return false;
    const std::string targetFolder = target.substr(0, target.rfind('/'));
    std::string temporary;
    const int fd = openTemporary(targetFolder, temporary);
    if (fd < 0) return false;
    // The data must be on disk before the rename makes it the store, or a
    // crash could leave an empty store in place of the old one.
    bool ok = keepModeOf(target, fd) && writeAll(fd, text) && settingsFileCalls.fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && settingsFileCalls.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Makes the rename itself durable; the store is already whole either way.
    const int dir = ::open(targetFolder.empty() ? "/" : targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<std::string> readLegacySettingsFile() {
    const std::string folder = settingsFolder();
    if (folder.empty()) return std::nullopt;
    return readRegularFile(folder + kLegacyName);
}

void retireLegacySettingsFile() {
    const std::string folder = settingsFolder();
    if (folder.empty()) return;
    const std::string path = folder + kLegacyName;
    settingsFileCalls.rename(path.c_str(), (path + ".migrated").c_str());
}

}  // namespace fan
