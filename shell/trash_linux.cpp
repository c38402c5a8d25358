// Moving an item to the trash. The order of the steps is what keeps the item
// safe: the info file is created first with O_EXCL (so no other item's record
// is overwritten), the item is then renamed into files/ with
// RENAME_NOREPLACE (so no earlier trashed item is replaced, and a rename
// cannot cross devices), and the info file is removed again when the rename
// fails. Nothing is ever copied or deleted: when no trash on the item's own
// device can be used, the item stays where it is.
#include "shell/trash_linux.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>

#include "shell/file_uri.h"
#include "shell/local_volume_linux.h"
#include "shell/shell_actions.h"
#include "shell/shell_calls_linux.h"
#include "core/mount_info.h"

namespace fan {
namespace {

// A name plus ".trashinfo" plus a collision number still fits NAME_MAX.
constexpr size_t kMaxBaseName = 255 - 10 - 8;

struct OpenTrash {
    std::filesystem::path root;
    std::string topdir;  // empty for the home trash, whose Path= is absolute
    FileDescriptor files;
    FileDescriptor info;
};

ShellActionResult trashFailed(const std::string& reason) {
    return {false, "Trash failed (" + reason + ")"};
}

bool deviceOf(const std::filesystem::path& path, int flags, dev_t& device) {
    struct stat status;
    if (shellCalls.fstatat(AT_FDCWD, path.c_str(), &status, flags) != 0) return false;
    device = status.st_dev;
    return true;
}

bool within(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    return isPathWithinMount(inner.string(), outer.string());
}

// Opens `root` (and its files/ and info/, created when missing) as a trash
// for an item on `device`. Empty on success, else the reason.
std::string openTrash(const std::filesystem::path& root, dev_t device, bool volumeTrash, OpenTrash& trash) {
    FileDescriptor rootFd = openTrashFolder(AT_FDCWD, root.c_str(), true, !volumeTrash);
    if (!rootFd.valid()) return std::strerror(errno);
    struct stat status;
    if (::fstat(rootFd.get(), &status) != 0) return std::strerror(errno);
    if (volumeTrash && status.st_uid != ::geteuid()) return "the volume's trash folder belongs to another user";
    dev_t rootDevice = 0;
    if (!deviceOf(root, 0, rootDevice)) return std::strerror(errno);
    if (rootDevice != device) return "no trash on the item's device";
    trash.files = openTrashFolder(rootFd.get(), "files", true);
    if (!trash.files.valid()) return std::strerror(errno);
    trash.info = openTrashFolder(rootFd.get(), "info", true);
    if (!trash.info.valid()) return std::strerror(errno);
    // Compared with the item's resolved path, so resolved the same way.
    std::error_code ec;
    trash.root = std::filesystem::canonical(root, ec);
    if (ec) trash.root = root;
    return {};
}

// The home trash when it shares the item's device. Empty on success, else
// the reason; `applies` tells whether the home trash is the one to use.
std::string findHomeTrash(dev_t device, OpenTrash& trash, bool& applies) {
    const std::filesystem::path home = homeTrashFolder();
    applies = false;
    if (home.empty()) return "no trash on the item's device";
    // The home trash is made (with its parents) only for an item on its
    // device: until then, the nearest folder that exists tells.
    std::filesystem::path existing = home;
    dev_t homeDevice = 0;
    bool found = deviceOf(existing, 0, homeDevice);
    while (!found && errno == ENOENT && existing.has_relative_path()) {
        existing = existing.parent_path();
        found = deviceOf(existing, 0, homeDevice);
    }
    if (!found || homeDevice != device) return "no trash on the item's device";
    applies = true;
    std::error_code ec;
    std::filesystem::create_directories(home.parent_path(), ec);
    return openTrash(home, device, false, trash);
}

// The first usable trash of the volume the item is mounted on. Empty on
// success, else the reason.
std::string findVolumeTrash(const std::filesystem::path& item, dev_t device, const std::vector<MountEntry>& mounts,
                            OpenTrash& trash) {
    const int index = findMountForPath(mounts, item.string());
    dev_t topDevice = 0;
    if (index < 0 || !deviceOf(mounts[size_t(index)].mountPoint, 0, topDevice) || topDevice != device)
        return "no trash on the item's device";
    trash.topdir = mounts[size_t(index)].mountPoint;
    std::string reason;
    for (const std::filesystem::path& root : volumeTrashFolders(trash.topdir)) {
        reason = openTrash(root, device, true, trash);
        if (reason.empty()) return reason;
    }
    return reason;
}

// The item itself is where a file system is mounted: by the kernel's flag,
// or by the mount table where the kernel does not give the flag.
bool isMountPoint(const std::filesystem::path& item, const std::vector<MountEntry>& mounts) {
    if (isMountRoot(AT_FDCWD, item.c_str())) return true;
    for (const MountEntry& mount : mounts)
        if (mount.mountPoint == item.string()) return true;
    return false;
}

// A mount point strictly inside the item, or empty: such a folder would
// carry another file system into the trash, where emptying leaves it.
std::string mountInside(const std::filesystem::path& item, const std::vector<MountEntry>& mounts) {
    for (const MountEntry& mount : mounts)
        if (mount.mountPoint != item.string() && within(mount.mountPoint, item)) return mount.mountPoint;
    return {};
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&now, &local)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The item's name cut (at a UTF-8 boundary) so that its trash names fit.
std::string baseName(const std::string& name) {
    if (name.size() <= kMaxBaseName) return name;
    size_t length = kMaxBaseName;
    while (length > 1 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
        --length;
    return name.substr(0, length);
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writes the record, then renames the item `name` of the folder `parent`
// into the trash. Empty on success, else the reason; `renameError` is the
// errno of a failed rename (0 when the rename was not reached).
std::string moveInto(const OpenTrash& trash, const std::filesystem::path& item, int parent, const std::string& name,
                     int& renameError) {
    renameError = 0;
    if (within(item, trash.root) || within(trash.root, item)) return "the item is the trash or holds it";
    const std::string original = trash.topdir.empty() ? item.string() : item.lexically_relative(trash.topdir).string();
    const std::string record =
        "[Trash Info]\nPath=" + percentEncodePath(original) + "\nDeletionDate=" + deletionDate() + "\n";

    const std::string base = baseName(name);
    for (int number = 1; number < 100000; ++number) {
        const std::string entry = number == 1 ? base : base + "." + std::to_string(number);
        const std::string infoName = entry + ".trashinfo";
        const int fd = shellCalls.openat(trash.info.get(), infoName.c_str(),
                                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return std::strerror(errno);
        }
        const bool written = writeAll(fd, record) && ::fsync(fd) == 0;
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            const int error = written ? errno : writeError;
            ::unlinkat(trash.info.get(), infoName.c_str(), 0);
            return std::strerror(error);
        }
        if (shellCalls.renameat2(parent, name.c_str(), trash.files.get(), entry.c_str(), RENAME_NOREPLACE) == 0)
            return {};
        renameError = errno;
        ::unlinkat(trash.info.get(), infoName.c_str(), 0);
        // A leftover in files/ without its record: take the next name.
        if (renameError != EEXIST) return std::strerror(renameError);
    }
    return "no free name in the trash";
}

}  // namespace

std::filesystem::path homeTrashFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') return std::filesystem::path(dataHome) / "Trash";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') return {};
    return std::filesystem::path(home) / ".local/share/Trash";
}

std::vector<std::filesystem::path> volumeTrashFolders(const std::string& topdir) {
    const std::filesystem::path top(topdir);
    const std::string uid = std::to_string(::getuid());
    std::vector<std::filesystem::path> folders;
    struct stat shared;
    if (::lstat((top / ".Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX))
        folders.push_back(top / ".Trash" / uid);
    folders.push_back(top / (".Trash-" + uid));
    return folders;
}

bool isMountRoot(int dirfd, const char* name) {
    struct statx status;
    return shellCalls.statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, 0, &status) == 0 &&
           (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (status.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

FileDescriptor openTrashFolder(int dirfd, const char* name, bool create, bool followLink) {
    if (create && ::mkdirat(dirfd, name, 0700) != 0 && errno != EEXIST) return FileDescriptor();
    return FileDescriptor(::openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW)));
}

ShellActionResult moveToRecycleBin(const std::filesystem::path& path) {
    const std::filesystem::path item = itemLocation(path);
    const std::string name = item.filename().string();
    if (name.empty() || name == "." || name == "..") return trashFailed("not an item that can be moved");
    dev_t device = 0;
    if (!deviceOf(item, AT_SYMLINK_NOFOLLOW, device)) return trashFailed(std::strerror(errno));
    // Without the mount table no folder can be known to hold no mount, nor
    // the trash of a volume be found: refuse rather than guess.
    const std::optional<std::vector<MountEntry>> table = readMountTable();
    if (!table) return trashFailed("the mount table cannot be read");
    const std::vector<MountEntry>& mounts = *table;
    // Refused before any trash is looked for, which could create one on the
    // mounted volume itself.
    if (isMountPoint(item, mounts)) return trashFailed("the item is a mount point");
    if (const std::string inside = mountInside(item, mounts); !inside.empty())
        return trashFailed("the folder holds the mounted file system " + inside);

    OpenTrash trash;
    bool homeTrash = false;
    std::string reason = findHomeTrash(device, trash, homeTrash);
    if (!homeTrash) reason = findVolumeTrash(item, device, mounts, trash);
    if (!reason.empty()) return trashFailed(reason);

    const FileDescriptor parent(::open(item.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) return trashFailed(std::strerror(errno));
    int renameError = 0;
    reason = moveInto(trash, item, parent.get(), name, renameError);
    // The item is reached through a bind mount of the home's file system:
    // the same device, but a rename cannot leave the mount.
    if (renameError == EXDEV && homeTrash) {
        trash = OpenTrash();
        reason = findVolumeTrash(item, device, mounts, trash);
        if (reason.empty()) reason = moveInto(trash, item, parent.get(), name, renameError);
    }
    if (!reason.empty()) return trashFailed(reason);
    return {true, {}};
}

}  // namespace fan
