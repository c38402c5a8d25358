#include "core/volume_space.h"

#include <algorithm>

namespace fan {

void applySpaceRule(MountEntry& entry, const std::optional<SpaceFigures>& figures) {
    entry.spaceKnown = false;
    if (!figures) return;
    // Some file systems report more free than total space (or more free to
    // the user than free at all); readers rely on the ordering, so clamp.
    entry.totalBytes = figures->totalBytes;
    entry.freeBytes = std::min(figures->freeBytes, entry.totalBytes);
    entry.availableBytes = std::min(figures->availableBytes, entry.freeBytes);
    entry.spaceKnown = entry.totalBytes != 0;
}

}  // namespace fan
