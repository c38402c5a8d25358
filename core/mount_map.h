// Which folders met during a walk are mount points of other file systems.
//
// Built once per scan on the scan worker, then only read: the walk and the
// threads that list ahead of it ask the same map, so both stop at the same
// folders. Folders are keyed by their path as the walk would spell it (below
// the root as the user gave it, which may lie behind a link), but only those
// on the way to a mount point get a key: the walk carries it down from the
// root, so no other folder ever has its path built.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

class MountMap {
public:
    // `rootText` is the root as the walk spells it, `realRootText` its real
    // location, which the mount table's points are compared with.
    void build(const std::string& rootText, const std::string& realRootText, const std::vector<MountEntry>& mounts);

    // The root's key when a mapped mount point lies below it, else empty.
    std::string rootRoute() const;

    // The key of the sub-folder `name` of the folder keyed `route` when a
    // mapped mount point lies at or below it, else empty (also when `route`
    // is empty: nothing below a folder off the way has a key).
    std::string childRoute(const std::string& route, std::string_view name) const;

    // Index into the mount list of the entry `name` of the folder keyed
    // `route`, or kNoNode; kNoNode for any entry when `route` is empty.
    uint64_t find(const std::string& route, std::string_view name) const;

private:
    std::unordered_map<std::string, uint64_t> points_;  // mount point -> index into the mount list
    std::unordered_set<std::string> parents_;           // folders that hold a mapped mount point
    std::string rootText_;
};

}  // namespace fan
