// Which folders met during a walk are mount points of other file systems.
//
// Built once per scan on the scan worker, then only read: the walk and the
// threads that list ahead of it ask the same map, so both stop at the same
// folders. Lookups are by the path as the walk spells it (below the root as
// the user gave it, which may lie behind a link).
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

    // The key prefix ("folder/") of a folder that holds a mapped mount point,
    // or false; only such folders pay for building lookup keys.
    bool keyPrefixFor(const std::filesystem::path& folder, std::string& prefix) const;

    // Index into the mount list of the entry `name` of the folder whose key
    // prefix is `prefix`, or kNoNode.
    uint64_t find(const std::string& prefix, std::string_view name) const;

private:
    std::unordered_map<std::string, uint64_t> points_;  // mount point -> index into the mount list
    std::unordered_set<std::string> parents_;           // folders that hold a mapped mount point
};

}  // namespace fan
