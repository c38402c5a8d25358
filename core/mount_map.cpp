#include "core/mount_map.h"

#include "core/path_text.h"
#include "core/tree.h"

namespace fan {

void MountMap::build(const std::string& rootText, const std::string& realRootText,
                     const std::vector<MountEntry>& mounts) {
    for (uint64_t i = 0; i < mounts.size(); ++i) {
        const std::string& point = mounts[i].mountPoint;
        if (point == realRootText || !isPathWithinMount(point, realRootText)) continue;
        const std::string below = realRootText == "/" ? point : point.substr(realRootText.size());
        const std::string key = rootText == "/" ? below : rootText + below;
        if (!points_.emplace(key, i).second) continue;  // the first of equal mount points wins
        const size_t slash = key.rfind('/');
        parents_.insert(slash == 0 ? std::string("/") : key.substr(0, slash));
    }
}

bool MountMap::keyPrefixFor(const std::filesystem::path& folder, std::string& prefix) const {
    if (parents_.empty()) return false;
    prefix = genericPathText(folder);
    if (!parents_.count(prefix)) return false;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    return true;
}

uint64_t MountMap::find(const std::string& prefix, std::string_view name) const {
    std::string key;
    key.reserve(prefix.size() + name.size());
    key.append(prefix).append(name.data(), name.size());
    const auto hit = points_.find(key);
    return hit == points_.end() ? kNoNode : hit->second;
}

}  // namespace fan
