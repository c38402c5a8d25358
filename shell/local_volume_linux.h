// Which mounted volumes count as local, where a trash may be used and
// emptied: read from the kernel's mount table named in shellCalls.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

// The mounts of shellCalls.mountTable; none when it cannot be read or lists
// nothing (every process sees at least its root mount), so that a check
// that needs it can refuse.
std::optional<std::vector<MountEntry>> readMountTable();

// Backed by a block device (or ZFS's pool of them) or by memory (tmpfs), and
// neither network, optical nor pseudo.
bool isLocalMount(const MountEntry& mount);

// Where an item really lies: its parent folder with every link resolved,
// joined with its own name (a symbolic link is the link itself, not its
// target). The lexically normal absolute path when the parent cannot be
// resolved. No trailing separator.
std::filesystem::path itemLocation(const std::filesystem::path& path);

}  // namespace fan
