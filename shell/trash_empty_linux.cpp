// Emptying this user's trashes: the home trash and the volume trashes on
// every mounted local volume. Everything is reached through descriptors
// opened with O_NOFOLLOW, and links are unlinked, never entered, so nothing
// outside a trash folder is touched whatever the trash holds.
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
#include "shell/trash_linux.h"

namespace fan {
namespace {

// Keeps the first failure seen, so one stuck entry does not stop the rest.
struct FirstError {
    int error = 0;
    void note(int e) {
        if (error == 0) error = e;
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

void removeContents(int dirfd, FirstError& failure);

void removeEntry(int dirfd, const std::string& name, FirstError& failure) {
    struct stat status;
    if (::fstatat(dirfd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) failure.note(errno);
        return;
    }
    if (S_ISDIR(status.st_mode)) {
        // A trashed folder the owner made read-only still goes.
        if ((status.st_mode & S_IRWXU) != S_IRWXU && status.st_uid == ::geteuid())
            ::fchmodat(dirfd, name.c_str(), (status.st_mode & 07777) | S_IRWXU, 0);
        const FileDescriptor folder(::openat(dirfd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder.valid())
            removeContents(folder.get(), failure);
        else
            failure.note(errno);
    }
    if (::unlinkat(dirfd, name.c_str(), S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0) != 0 && errno != ENOENT)
        failure.note(errno);
}

void removeContents(int dirfd, FirstError& failure) {
    for (const std::string& name : entryNames(dirfd, failure))
        removeEntry(dirfd, name, failure);
}

void emptyTrash(const std::filesystem::path& root, bool volumeTrash, FirstError& failure) {
    const FileDescriptor trash = openTrashFolder(AT_FDCWD, root.c_str(), false, !volumeTrash);
    if (!trash.valid()) {
        if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP) failure.note(errno);
        return;
    }
    struct stat status;
    if (::fstat(trash.get(), &status) != 0 || (volumeTrash && status.st_uid != ::geteuid())) return;
    for (const char* part : {"files", "info"}) {
        const FileDescriptor folder = openTrashFolder(trash.get(), part, false);
        if (folder.valid())
            removeContents(folder.get(), failure);
        else if (errno != ENOENT)
            failure.note(errno);
    }
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
    if (failure.error == 0) return {true, {}};
    return {false, std::string("Could not empty Trash (") + std::strerror(failure.error) + ")"};
}

}  // namespace fan
