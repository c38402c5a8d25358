#include "core/mount_map.h"

#include "core/path_text.h"
#include "core/tree.h"

namespace fan {

void MountMap::build(const std::string& rootText, const std::string& realRootText,
                     const std::vector<MountEntry>& mounts) {
    rootText_ = rootText;
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

namespace {

std::string join(const std::string& folder, std::string_view name) {
    std::string key;
    key.reserve(folder.size() + 1 + name.size());
    key.append(folder);
    if (key.empty() || key.back() != '/') key += '/';
    key.append(name.data(), name.size());
    return key;
}

}  // namespace

std::string MountMap::rootRoute() const {
    return parents_.empty() ? std::string() : rootText_;
}

std::string MountMap::childRoute(const std::string& route, std::string_view name) const {
    if (route.empty()) return {};
    std::string key = join(route, name);
    for (const std::string& parent : parents_) {
        if (parent.compare(0, key.size(), key) != 0) continue;
        if (parent.size() == key.size() || parent[key.size()] == '/') return key;
    }
    return {};
}

uint64_t MountMap::find(const std::string& route, std::string_view name) const {
    if (route.empty() || !parents_.count(route)) return kNoNode;
    const auto hit = points_.find(join(route, name));
    return hit == points_.end() ? kNoNode : hit->second;
}

}  // namespace fan
