#include "core/mount_table_linux.h"

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "core/drive_model_linux.h"
#include "core/file_system_kind.h"
#include "core/mount_info.h"
#include "core/volume_space.h"

namespace fan {
namespace {

BoundedSpaceQuery& spaceRunner(const MountTableSources& sources) {
    if (sources.space) return *sources.space;
    static BoundedSpaceQuery shared(systemSpaceQuery());
    return shared;
}

// The space at `path`, which lies on `entry`'s mount. A query that may hang
// (or one on an unknown mount) is waited for only up to the time limit.
std::optional<SpaceFigures> measureAt(const MountEntry& entry, const std::filesystem::path& path,
                                      const MountTableSources& sources) {
    BoundedSpaceQuery& runner = spaceRunner(sources);
    if (!spaceQueryMayBlock(entry)) return runner.query().measure(path);
    const std::string key = entry.mountPoint.empty() ? path.string() : entry.mountPoint;
    return runner.measure(key, path, sources.spaceTimeLimit);
}

}  // namespace

std::vector<MountEntry> listMounts(const MountTableSources& sources, bool& tableRead) {
    tableRead = false;
    std::ifstream in(sources.mountInfo);
    if (!in) return {};
    std::vector<MountEntry> mounts = parseMountInfo(in);
    if (in.bad() || mounts.empty()) return {};
    tableRead = true;

    // Queries that may hang start first and run side by side while the local
    // mounts are read, so dead servers cost one time limit in all.
    BoundedSpaceQuery& runner = spaceRunner(sources);
    const auto deadline = BoundedSpaceQuery::Clock::now() + sources.spaceTimeLimit;
    std::vector<std::pair<size_t, BoundedSpaceQuery::Pending>> waiting;
    for (size_t i = 0; i < mounts.size(); ++i) {
        if (spaceQueryMayBlock(mounts[i]))
            waiting.emplace_back(i, runner.start(mounts[i].mountPoint, mounts[i].mountPoint));
    }

    std::map<std::string, std::string> models;  // by device: bind mounts share a disk
    for (MountEntry& entry : mounts) {
        if (!isNetworkFileSystem(entry.fsType)) {
            auto known = models.find(entry.device);
            if (known == models.end()) {
                std::string diskName;  // the record keeps the device number, not the disk's name
                known = models.emplace(entry.device, queryPhysicalDriveModel(entry.device, diskName, sources.sysRoot))
                            .first;
            }
            entry.model = known->second;
        }
        if (!spaceQueryMayBlock(entry)) applySpaceRule(entry, runner.query().measure(entry.mountPoint));
    }

    for (auto& [index, pending] : waiting)
        applySpaceRule(mounts[index], pending.waitUntil(deadline));
    return mounts;
}

MountEntry mountEntryForPath(const std::filesystem::path& path, const std::vector<MountEntry>& known,
                             const MountTableSources& sources) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) absolute = path;
    absolute = absolute.lexically_normal();
    std::string text = absolute.generic_string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();

    MountEntry entry;
    const int index = findMountForPath(known, text);
    if (index >= 0) entry = known[static_cast<size_t>(index)];
    applySpaceRule(entry, measureAt(entry, absolute, sources));
    return entry;
}

void refreshMountSpace(MountEntry& entry, const std::filesystem::path& path, const MountTableSources& sources) {
    applySpaceRule(entry, measureAt(entry, path, sources));
}

std::vector<MountEntry> listMounts(bool& tableRead) {
    return listMounts(MountTableSources{}, tableRead);
}

std::vector<MountEntry> listMounts() {
    bool tableRead = false;
    return listMounts(tableRead);
}

MountEntry mountEntryForPath(const std::filesystem::path& path, const std::vector<MountEntry>& known) {
    return mountEntryForPath(path, known, MountTableSources{});
}

void refreshMountSpace(MountEntry& entry, const std::filesystem::path& path) {
    refreshMountSpace(entry, path, MountTableSources{});
}

std::optional<SpaceFigures> measureSpaceAt(const MountEntry& mount, const std::filesystem::path& path) {
    return measureAt(mount, path, MountTableSources{});
}

}  // namespace fan
