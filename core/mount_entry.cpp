#include "core/mount_entry.h"

namespace fan {

bool isPathWithinMount(const std::string& path, const std::string& mountPoint) {
    if (path.size() == mountPoint.size()) return path == mountPoint;
    if (mountPoint.empty() || mountPoint == "/") return !path.empty() && path[0] == '/';
    return path.size() > mountPoint.size() && path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           path[mountPoint.size()] == '/';
}

}  // namespace fan
