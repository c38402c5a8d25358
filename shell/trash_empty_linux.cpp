// Emptying this user's trashes: the home trash and the volume trashes on
// every mounted local volume. Everything is reached through descriptors
// opened with O_NOFOLLOW, and links are unlinked, never entered, so nothing
// outside a trash folder is touched whatever the trash holds. A folder on
// another file system (a mount inside a trashed folder) is never entered, and
// a record stays while any of its item is left.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "shell/local_volume_linux.h"
#include "shell/shell_actions.h"
#include "shell/shell_calls_linux.h"
#include "shell/trash_linux.h"

namespace fan {
namespace {

// Keeps the first failure seen, so one stuck entry does not stop the rest.
struct FirstError {
    std::string reason;
    void note(int error) { note(std::string(std::strerror(error))); }
    void note(const std::string& text) {
        if (reason.empty()) reason = text;
    }
};

// The names in the folder; false (with the reason noted) when it could not
// be listed to its end.
bool listEntries(int dirfd, std::vector<std::string>& names, FirstError& failure) {
    names.clear();
    const int copy = ::dup(dirfd);
    DIR* dir = copy >= 0 ? shellCalls.fdopendir(copy) : nullptr;
    if (!dir) {
        failure.note(errno);
        if (copy >= 0) ::close(copy);
        return false;
    }
    ::rewinddir(dir);  // the copy shares its position with every earlier listing
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) failure.note(error);
    return error == 0;
}

std::vector<std::string> entryNames(int dirfd, FirstError& failure) {
    std::vector<std::string> names;
    listEntries(dirfd, names, failure);
    return names;
}

// The mount a descriptor lies on. Kernels before 5.8 (and sandboxes that
// refuse statx) give it only in the descriptor's fdinfo. False, with errno
// set, when neither tells.
bool mountOf(int fd, uint64_t& mount) {
    struct statx status;
    if (shellCalls.statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &status) == 0 &&
        (status.stx_mask & STATX_MNT_ID)) {
        mount = status.stx_mnt_id;
        return true;
    }
    const std::string fdinfo = "/proc/self/fdinfo/" + std::to_string(fd);
    const FileDescriptor info(shellCalls.openat(AT_FDCWD, fdinfo.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0));
    if (!info.valid()) return false;
    char text[4096];
    const ssize_t length = ::read(info.get(), text, sizeof text - 1);
    if (length < 0) return false;
    text[length] = '\0';
    const char* field = std::strstr(text, "mnt_id:");
    char* end = nullptr;
    if (field) mount = std::strtoull(field + 7, &end, 10);
    if (end && end != field + 7) return true;
    errno = ENOTSUP;
    return false;
}

// A folder being emptied: where it is, what it held when listed, and how far
// its removal has got.
struct Level {
    std::string name;  // in its parent
    dev_t device;
    ino_t inode;
    std::vector<std::string> names;
    size_t next = 0;
};

bool sameFolder(int fd, const Level& level) {
    struct stat status;
    return ::fstat(fd, &status) == 0 && status.st_dev == level.device && status.st_ino == level.inode;
}

std::string pathOf(const std::vector<Level>& levels, const std::string& name) {
    std::string path;
    for (size_t i = 1; i < levels.size(); ++i)
        path += levels[i].name + "/";
    return path + name;
}

// Opens the folder `name` for listing and removing its entries, when it
// lies on the mount `rootMount`. The descriptor itself is checked: a mount
// made on the name after it was looked at is not entered. Its mode is
// changed through a descriptor, never by name, so a link swapped in after
// the check cannot redirect the change; a folder the owner made unreadable
// is opened by path only first, and changed through /proc.
FileDescriptor openForRemoval(int dirfd, const std::string& name, uint64_t rootMount, const std::string& shown,
                              FirstError& failure) {
    const FileDescriptor handle(::openat(dirfd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status;
    if (!handle.valid() || ::fstat(handle.get(), &status) != 0) {
        if (errno != ENOENT) failure.note(errno);
        return FileDescriptor();
    }
    if (!S_ISDIR(status.st_mode)) {
        failure.note(ENOTDIR);
        return FileDescriptor();
    }
    uint64_t mount = 0;
    if (!mountOf(handle.get(), mount)) {
        failure.note(shown + " left in place, its mount cannot be identified: " + std::strerror(errno));
        return FileDescriptor();
    }
    if (mount != rootMount) {
        failure.note(shown + " is another file system, left in place");
        return FileDescriptor();
    }
    // A trashed folder the owner made read-only still goes.
    if ((status.st_mode & S_IRWXU) != S_IRWXU && status.st_uid == ::geteuid()) {
        const std::string byDescriptor = "/proc/self/fd/" + std::to_string(handle.get());
        if (::chmod(byDescriptor.c_str(), (status.st_mode & 07777) | S_IRWXU) != 0) {
            failure.note(errno);
            return FileDescriptor();
        }
    }
    FileDescriptor folder(::openat(handle.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) failure.note(errno);
    return folder;
}

// Removes everything below `root` except the top-level names in `keep`,
// holding only two descriptors whatever the depth: after a folder is done its
// parent is reopened through "..", and checked to be the folder left.
void removeContents(int root, const std::set<std::string>& keep, FirstError& failure) {
    struct stat rootStatus;
    uint64_t rootMount = 0;
    if (::fstat(root, &rootStatus) != 0 || !mountOf(root, rootMount)) {
        failure.note(errno);
        return;
    }
    std::vector<Level> levels;
    levels.push_back({{}, rootStatus.st_dev, rootStatus.st_ino, entryNames(root, failure)});
    FileDescriptor current(::dup(root));
    if (!current.valid()) {
        failure.note(errno);
        return;
    }
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next < level.names.size()) {
            const std::string name = level.names[level.next++];
            if (levels.size() == 1 && keep.count(name)) continue;
            struct stat status;
            if (shellCalls.fstatat(current.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT) failure.note(errno);
                continue;
            }
            if (!S_ISDIR(status.st_mode)) {
                if (::unlinkat(current.get(), name.c_str(), 0) != 0 && errno != ENOENT) failure.note(errno);
                continue;
            }
            const std::string shown = pathOf(levels, name);
            if (status.st_dev != rootStatus.st_dev || isMountRoot(current.get(), name.c_str())) {
                failure.note(shown + " is another file system, left in place");
                continue;
            }
            FileDescriptor child = openForRemoval(current.get(), name, rootMount, shown, failure);
            struct stat childStatus;
            if (!child.valid() || ::fstat(child.get(), &childStatus) != 0) continue;
            std::vector<std::string> names = entryNames(child.get(), failure);
            levels.push_back({name, childStatus.st_dev, childStatus.st_ino, std::move(names)});
            current = std::move(child);
            continue;
        }
        const std::string done = level.name;
        levels.pop_back();
        if (levels.empty()) break;
        FileDescriptor parent(levels.size() == 1 ? ::dup(root)
                                                 : ::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!parent.valid() || !sameFolder(parent.get(), levels.back())) {
            // Something moved the folder while it was emptied: stop rather
            // than remove entries of a folder that is not the one listed.
            failure.note(pathOf(levels, done) + " moved while the trash was emptied");
            return;
        }
        current = std::move(parent);
        if (::unlinkat(current.get(), done.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) failure.note(errno);
    }
}

void emptyTrash(const std::filesystem::path& root, bool volumeTrash, FirstError& failure) {
    const FileDescriptor trash = openTrashFolder(AT_FDCWD, root.c_str(), false, !volumeTrash);
    if (!trash.valid()) {
        if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP) failure.note(errno);
        return;
    }
    struct stat status;
    if (::fstat(trash.get(), &status) != 0 || (volumeTrash && status.st_uid != ::geteuid())) return;

    // The items first: a record goes only once nothing of its item is left,
    // and while what is left cannot be listed, every record stays.
    std::set<std::string> keptRecords;
    bool listed = true;
    const FileDescriptor files = openTrashFolder(trash.get(), "files", false);
    if (files.valid()) {
        removeContents(files.get(), {}, failure);
        std::vector<std::string> left;
        listed = listEntries(files.get(), left, failure);
        for (const std::string& name : left)
            keptRecords.insert(name + ".trashinfo");
    } else if (errno != ENOENT) {
        listed = false;
        failure.note(errno);
    }
    const FileDescriptor info = openTrashFolder(trash.get(), "info", false);
    if (info.valid() && listed)
        removeContents(info.get(), keptRecords, failure);
    else if (!info.valid() && errno != ENOENT)
        failure.note(errno);
    if (::unlinkat(trash.get(), "directorysizes", 0) != 0 && errno != ENOENT) failure.note(errno);
}

}  // namespace

ShellActionResult emptyRecycleBin() {
    FirstError failure;
    std::set<std::pair<dev_t, ino_t>> emptied;  // bind mounts show one trash twice
    auto once = [&](const std::filesystem::path& root) {
        struct stat status;
        if (::stat(root.c_str(), &status) != 0) return true;
        return emptied.insert({status.st_dev, status.st_ino}).second;
    };
    const std::filesystem::path home = homeTrashFolder();
    if (!home.empty() && once(home)) emptyTrash(home, false, failure);
    const std::optional<std::vector<MountEntry>> mounts = readMountTable();
    if (!mounts) failure.note("the mount table cannot be read");  // the volumes' trashes are not known
    for (const MountEntry& mount : mounts.value_or(std::vector<MountEntry>{})) {
        if (!isLocalMount(mount)) continue;
        for (const std::filesystem::path& root : volumeTrashFolders(mount.mountPoint))
            if (once(root)) emptyTrash(root, true, failure);
    }
    if (failure.reason.empty()) return {true, {}};
    return {false, "Could not empty Trash (" + failure.reason + ")"};
}

}  // namespace fan
