// Emptying this user's trashes: the home trash and the volume trashes on
// every mounted local volume. Everything is reached through descriptors
// opened with O_NOFOLLOW, and links are unlinked, never entered, so nothing
// outside a trash folder is touched whatever the trash holds. A folder on
// another file system (a mount inside a trashed folder) is never entered, and
// a record stays while any of its item is left.
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

std::vector<std::string> entryNames(int dirfd, FirstError& failure) {
    std::vector<std::string> names;
    const int copy = ::dup(dirfd);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        failure.note(errno);
        if (copy >= 0) ::close(copy);
        return names;
    }
    ::rewinddir(dir);  // the copy shares its position with every earlier listing
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
        errno = 0;
    }
    if (errno != 0) failure.note(errno);
    ::closedir(dir);
    return names;
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

// A mount whose root lies on the same device (a bind mount) is only told
// apart by the kernel's mount-root flag.
bool isMountRoot(int dirfd, const char* name) {
    struct statx status;
    return ::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, 0, &status) == 0 &&
           (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (status.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// Opens the folder `name` for listing and removing its entries. Its mode is
// changed through a descriptor, never by name, so a link swapped in after
// the check cannot redirect the change; a folder the owner made unreadable
// is opened by path only first, and changed through /proc.
FileDescriptor openForRemoval(int dirfd, const std::string& name, FirstError& failure) {
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
    if (::fstat(root, &rootStatus) != 0) {
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
            const std::string leftInPlace = pathOf(levels, name) + " is another file system, left in place";
            if (status.st_dev != rootStatus.st_dev || isMountRoot(current.get(), name.c_str())) {
                failure.note(leftInPlace);
                continue;
            }
            FileDescriptor child = openForRemoval(current.get(), name, failure);
            struct stat childStatus;
            if (!child.valid() || ::fstat(child.get(), &childStatus) != 0) continue;
            if (childStatus.st_dev != rootStatus.st_dev) {  // mounted since it was looked at
                failure.note(leftInPlace);
                continue;
            }
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

    // The items first: a record goes only once nothing of its item is left.
    std::set<std::string> keptRecords;
    const FileDescriptor files = openTrashFolder(trash.get(), "files", false);
    if (files.valid()) {
        removeContents(files.get(), {}, failure);
        for (const std::string& name : entryNames(files.get(), failure))
            keptRecords.insert(name + ".trashinfo");
    } else if (errno != ENOENT) {
        failure.note(errno);
    }
    const FileDescriptor info = openTrashFolder(trash.get(), "info", false);
    if (info.valid())
        removeContents(info.get(), keptRecords, failure);
    else if (errno != ENOENT)
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
    for (const MountEntry& mount : readMountTable()) {
        if (!isLocalMount(mount)) continue;
        for (const std::filesystem::path& root : volumeTrashFolders(mount.mountPoint))
            if (once(root)) emptyTrash(root, true, failure);
    }
    if (failure.reason.empty()) return {true, {}};
    return {false, "Could not empty Trash (" + failure.reason + ")"};
}

}  // namespace fan
