// The Linux volume table: the kernel's mount table with the space and the
// drive model of each mount, read through seams that tests can replace.
#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

#include "core/bounded_space_query.h"
#include "core/mount_entry.h"

namespace fan {

// Where the volume table reads from. The defaults are the running system.
struct MountTableSources {
    std::filesystem::path mountInfo = "/proc/self/mountinfo";
    std::filesystem::path sysRoot = "/sys";
    // Space queries; null means statvfs through one runner shared by the whole
    // process, so that a stuck query is remembered from call to call.
    BoundedSpaceQuery* space = nullptr;
    // How long a space query that may hang (network, FUSE, autofs) is waited
    // for. The queries of one listMounts call share one such wait.
    std::chrono::milliseconds spaceTimeLimit{500};
};

// listMounts, mountEntryForPath and refreshMountSpace of mount_entry.h, read
// from `sources`. tableRead is false, and the list empty, when the mount table
// could not be opened or read or held no usable line.
std::vector<MountEntry> listMounts(const MountTableSources& sources, bool& tableRead);
MountEntry mountEntryForPath(const std::filesystem::path& path, const std::vector<MountEntry>& known,
                             const MountTableSources& sources);
void refreshMountSpace(MountEntry& entry, const std::filesystem::path& path, const MountTableSources& sources);

}  // namespace fan
