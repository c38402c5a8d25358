// The space figures of a file system and the rule that turns them into the
// space fields of a MountEntry, behind a seam so tests can feed any figures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/mount_entry.h"

namespace fan {

// Raw figures as the system reports them, before any clamp.
struct SpaceFigures {
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;       // free on the volume, the reserve included
    uint64_t availableBytes = 0;  // free to the calling user
    uint64_t totalEntries = 0;    // files and folders the file system has room for; 0 when it does not say
    uint64_t freeEntries = 0;     // of those, not in use
};

// One query of the space of the file system that holds a path (statvfs on
// Linux). Implementations must allow concurrent calls from any thread; a call
// may block for as long as the system does (a dead network server: forever).
class SpaceQuery {
public:
    virtual ~SpaceQuery() = default;
    // The figures, or nothing when the system refused the query.
    virtual std::optional<SpaceFigures> measure(const std::filesystem::path& path) const = 0;
};

// The operating system's query. Shared so that a query thread that outlives
// its caller keeps it alive.
std::shared_ptr<const SpaceQuery> systemSpaceQuery();

// The figures at `path`, which lies on `mount`'s file system: asked directly
// where that file system is known not to hang, else through the time limit
// of the volume table (spaceQueryMayBlock). Nothing when the query failed or
// ran out of time. Any thread.
std::optional<SpaceFigures> measureSpaceAt(const MountEntry& mount, const std::filesystem::path& path);

// Stores a query result in `entry`: spaceKnown is cleared first; on success
// free is clamped to the capacity, available to free, and the space counts as
// known only for a non-zero capacity; on failure the figures stay as they were.
void applySpaceRule(MountEntry& entry, const std::optional<SpaceFigures>& figures);

}  // namespace fan
