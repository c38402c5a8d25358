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
#include "core/parallel_lister.h"
#include "core/scan_progress.h"
#include "core/tree.h"

namespace fan {

// `mounts` is read once, at the start; when null the mount table is listed.
// Folders are listed on scanThreadCount(root's volume) threads; helper
// threads end before it returns.
Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts);

// The same walk over a given lister (tests list through a double), on the
// calling thread alone.
Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              DirectoryLister& lister);

// The same walk with folders listed on `threads` threads, the calling one
// among them, and on `spareThreads` more while the listings mostly wait,
// each through a lister from `makeLister`; 1 and 0 is the walk above. The
// tree is the one the walk above would build. `makeLister` is called on the
// calling thread, once per listing thread.
Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              const ListerFactory& makeLister, int threads, int spareThreads = 0);

// The absolute, lexically normal form of a path without a trailing
// separator; the form every listing call receives (the Windows lister adds
// the \\?\ long-path prefix itself). On Windows a network path
// (\\server\share\...) keeps its server and share, and a path already
// behind \\?\ is kept exactly. The scan's root is made the same way.
// Throws when the path cannot be made absolute.
std::filesystem::path toLongPath(const std::filesystem::path& path);

}  // namespace fan
