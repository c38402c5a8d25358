// statvfs behind the SpaceQuery seam.
#include "core/volume_space.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "core/long_path_posix.h"

namespace fan {
namespace {

class StatvfsSpaceQuery final : public SpaceQuery {
public:
    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        struct statvfs info {};
        if (!query(path.native(), info)) return std::nullopt;
        // Block counts are in units of f_frsize, not f_bsize.
        const uint64_t unit = info.f_frsize;
        SpaceFigures figures;
        figures.totalBytes = uint64_t{info.f_blocks} * unit;
        figures.freeBytes = uint64_t{info.f_bfree} * unit;
        figures.availableBytes = uint64_t{info.f_bavail} * unit;
        figures.totalEntries = info.f_files;
        figures.freeEntries = info.f_ffree;
        return figures;
    }

private:
    static bool query(const std::string& path, struct statvfs& info) {
        int rc;
        if (path.size() < PATH_MAX) {
            do {
                rc = ::statvfs(path.c_str(), &info);
            } while (rc != 0 && errno == EINTR);
            return rc == 0;
        }
        // The system resolves no path this long in one call; the scan still
        // walks such a root, so its space is asked through a descriptor.
        const int fd = openPathOfAnyLength(path, O_PATH | O_CLOEXEC);
        if (fd < 0) return false;
        do {
            rc = ::fstatvfs(fd, &info);
        } while (rc != 0 && errno == EINTR);
        ::close(fd);
        return rc == 0;
    }
};

}  // namespace

std::shared_ptr<const SpaceQuery> systemSpaceQuery() {
    static const std::shared_ptr<const SpaceQuery> query = std::make_shared<StatvfsSpaceQuery>();
    return query;
}

}  // namespace fan
