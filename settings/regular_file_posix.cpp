// Small regular files read through a non-blocking descriptor checked with fstat.
#include "settings/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fan {

std::optional<std::string> readRegularFile(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer. Links are followed, as a config file kept elsewhere is common.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st;
    std::optional<std::string> text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= kMaxRegularFileSize) {
        text.emplace();
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) text.reset();
            if (n <= 0) break;
            text->append(buffer, size_t(n));
            // Grown while being read: too large after all.
            if (text->size() > kMaxRegularFileSize) {
                text.reset();
                break;
            }
        }
    }
    ::close(fd);
    return text;
}

}  // namespace fan
