// GetDiskFreeSpaceExW behind the SpaceQuery seam.
#include <windows.h>

#include "core/volume_space.h"

namespace fan {
namespace {

class DiskFreeSpaceQuery final : public SpaceQuery {
public:
    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
        if (!GetDiskFreeSpaceExW(path.c_str(), &freeToCaller, &total, &totalFree)) return std::nullopt;
        SpaceFigures figures;
        figures.totalBytes = total.QuadPart;
        figures.freeBytes = totalFree.QuadPart;
        figures.availableBytes = freeToCaller.QuadPart;
        return figures;
    }
};

}  // namespace

std::shared_ptr<const SpaceQuery> systemSpaceQuery() {
    static const std::shared_ptr<const SpaceQuery> query = std::make_shared<DiskFreeSpaceQuery>();
    return query;
}

}  // namespace fan
