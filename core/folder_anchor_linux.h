// Folder anchors on Linux: an open descriptor per folder, bounded per scan.
//
// A folder's sub-folders are opened relative to its descriptor, so the
// kernel never resolves a long path and a folder renamed meanwhile is still
// reached. The anchors of one scan share a pool that keeps at most `limit`
// descriptors open: the least recently used one not in use is closed first,
// after its identity (device and inode) is noted. A closed anchor is opened
// again when needed: through ".." from a child that dies (the walk goes back
// up one level at a time, so that is one call); from a folder the caller
// holds open on its way, up through ".." and down by name, a call per level
// between the two; or else name by name from the nearest ancestor still
// open. Every folder passed must be the one seen before. A folder that
// cannot be reached now is tried afresh the next time it is needed.
#pragma once

#include <atomic>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

#include "core/directory_lister.h"

namespace fan {

struct AnchorPool;

// openat() with its three arguments, replaceable so tests can count the calls
// or make one of them fail.
using OpenAtFunction = int (*)(int dirfd, const char* name, int flags);
int openAtDirectly(int dirfd, const char* name, int flags);

struct LinuxAnchor final : FolderAnchor {
    ~LinuxAnchor() override;

    std::shared_ptr<LinuxAnchor> parent;  // null at the root
    std::string name;                     // within the parent
    size_t depth = 0;                     // levels below the root
    AnchorPool* pool = nullptr;           // owned by the root's anchor
    std::unique_ptr<AnchorPool> ownPool;  // the root's only

    // Written under the pool's mutex; the root's, which never changes, is
    // read without it.
    std::atomic<int> fd{-1};
    // Guarded by the pool's mutex.
    int pins = 0;                // users that need the descriptor to stay open
    bool identityKnown = false;  // when closed without it, it cannot be recognised again
    dev_t device = 0;
    ino_t inode = 0;
    std::list<LinuxAnchor*>::iterator place;  // in the pool's open list while fd >= 0
    bool retired = false;                     // already let go by the child that held it last

    // Takes the descriptor out of the pool, reopening `heir` through ".."
    // when it was closed and is the same folder still; what is to be closed
    // goes to `toClose`, for the caller to close once the pool's mutex is
    // released. Pool's mutex held.
    void detachDescriptor(LinuxAnchor* heir, std::vector<int>& toClose);
};

// An anchor for the root opened as `fd`, with a pool of its own that keeps
// at most `limit` descriptors open and opens folders again through
// `openAt`; the root's stays open while it lives. The anchor is pinned once
// for the listing in progress.
std::shared_ptr<LinuxAnchor> makeRootAnchor(int fd, const std::string& path, size_t limit, OpenAtFunction openAt);

// An anchor for the sub-folder `name` of `parent`, opened as `fd`, which it
// now owns; pinned once for the listing in progress.
std::shared_ptr<LinuxAnchor> makeChildAnchor(const std::shared_ptr<LinuxAnchor>& parent, std::string name, int fd);

// The anchor's descriptor, reopened when it was closed, pinned until
// unpin(); -1 when the folder cannot be reached now. `near`, when given, is
// pinned by the caller: an open folder close to this one, from which it is
// reached first (the walk's last place, so the calls stay as few as the
// levels it moved).
int pinDescriptor(LinuxAnchor& anchor, LinuxAnchor* near = nullptr);
// The anchor's descriptor pinned until unpin() when it is open; -1, and
// nothing pinned, when it was closed.
int pinIfOpen(LinuxAnchor& anchor);
void unpin(LinuxAnchor& anchor);

}  // namespace fan
