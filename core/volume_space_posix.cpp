// statvfs behind the SpaceQuery seam.
#include "core/volume_space.h"

#include <sys/statvfs.h>

#include <cerrno>

namespace fan {
namespace {

class StatvfsSpaceQuery final : public SpaceQuery {
public:
    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        struct statvfs info {};
        int rc;
        do {
            rc = ::statvfs(path.c_str(), &info);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) return std::nullopt;
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
};

}  // namespace

std::shared_ptr<const SpaceQuery> systemSpaceQuery() {
    static const std::shared_ptr<const SpaceQuery> query = std::make_shared<StatvfsSpaceQuery>();
    return query;
}

}  // namespace fan
