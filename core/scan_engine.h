// The scan engine: walks one folder tree into a Tree.
//
// Runs on the scan worker, one call per scan. It meets the GUI thread only
// through `progress`: it honours a stop request, advances the file and byte
// counters and, while live preview is on, publishes snapshots of the root's
// direct entries at most every 90 ms. Walk failures come back as counts and
// an error text inside the Tree; exceptions (memory exhaustion, a failing
// mutex) reach the caller.
#pragma once

#include <filesystem>
#include <vector>

#include "core/directory_lister.h"
#include "core/mount_entry.h"
#include "core/scan_progress.h"
#include "core/tree.h"

namespace fan {

// `mounts` is read once, at the start; when null the mount table is listed.
Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts);

// The same walk over a given lister (tests list through a double).
Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              DirectoryLister& lister);

// The absolute, lexically normal form of a path without a trailing
// separator; the form every listing call receives (the Windows lister adds
// the \\?\ long-path prefix itself). Throws when the path cannot be made
// absolute.
std::filesystem::path toLongPath(const std::filesystem::path& path);

}  // namespace fan
