#include "core/scan_threads.h"

#include <algorithm>

#include "core/directory_lister.h"

namespace fan {

// Every listing holds descriptors of its own.
ListingThreads affordableShare(int threads, int spareThreads) {
    const int affordable = affordableListingThreads();
    const int running = std::min(threads, affordable);
    return {running, std::max(0, std::min(spareThreads, affordable - running))};
}

bool diskKnownToSpin(const DiskFacts& disk) {
    if (disk.rotational && disk.bus == "scsi") return true;
    return std::any_of(disk.underlying.begin(), disk.underlying.end(), diskKnownToSpin);
}

int scanThreadCount(const MountEntry& volume) {
    if (isOnSpinningDisk(volume)) return 1;
    return std::clamp(usableProcessors(), 1, 8);
}

int spareScanThreadCount(int scanThreads) {
    return scanThreads > 1 ? scanThreads : 0;
}

}  // namespace fan
