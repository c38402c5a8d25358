// The trash folders of this user as freedesktop.org desktops share them: the
// home trash, and on other volumes $topdir/.Trash/$uid (when .Trash is a
// sticky folder that is not a link) or $topdir/.Trash-$uid.
// Shared by moving an item to the trash, emptying and opening it.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fan {

// $XDG_DATA_HOME/Trash when XDG_DATA_HOME is absolute, else
// ~/.local/share/Trash (home from $HOME, else the password database); empty
// when no home is known.
std::filesystem::path homeTrashFolder();

// This user's trash folders on the volume mounted at `topdir`, in the order
// they are to be tried. Nothing is created.
std::vector<std::filesystem::path> volumeTrashFolders(const std::string& topdir);

// A descriptor closed when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Whether the entry `name` below `dirfd` is the root of a mount: a bind
// mount of the same file system shares its device and is told apart only by
// the kernel's mount-root flag. False where the kernel does not give it.
bool isMountRoot(int dirfd, const char* name);

// Opens the folder `name` below `dirfd`, creating it with mode 0700 first
// when `create` is set. A link in its last component is followed only when
// `followLink` is set: the home trash may be a link the user made, while a
// link inside a trash or on a shared volume could lead anywhere.
// Returns the descriptor, invalid with errno set on failure.
FileDescriptor openTrashFolder(int dirfd, const char* name, bool create, bool followLink = false);

}  // namespace fan
