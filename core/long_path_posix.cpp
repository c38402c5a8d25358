// Paths beyond PATH_MAX opened one piece at a time.
#include "core/long_path_posix.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace fan {

int openPathOfAnyLength(const std::string& path, int flags) {
    if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
    // Folders on the way are only passed through, never read, so O_PATH
    // reaches them even where only search permission is granted.
    constexpr int kStepFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    int dirfd = AT_FDCWD;
    size_t pos = 0;
    if (path[0] == '/') {
        dirfd = ::open("/", kStepFlags);
        if (dirfd < 0) return -1;
        pos = 1;
    }
    while (true) {
        size_t end = path.size();
        const bool last = end - pos < PATH_MAX;
        if (!last) {
            end = path.rfind('/', pos + PATH_MAX - 2);
            if (end == std::string::npos || end <= pos) {
                // One name longer than PATH_MAX: no file system holds it.
                if (dirfd != AT_FDCWD) ::close(dirfd);
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        const std::string piece = path.substr(pos, end - pos);
        const int fd = ::openat(dirfd, piece.c_str(), last ? flags : kStepFlags);
        const int saved = errno;
        if (dirfd != AT_FDCWD) ::close(dirfd);
        errno = saved;
        if (fd < 0 || last) return fd;
        dirfd = fd;
        pos = end + 1;
    }
}

}  // namespace fan
