#include "core/scan_threads.h"

#include <algorithm>
#include <thread>

namespace fan {

bool diskKnownToSpin(const DiskFacts& disk) {
    if (disk.rotational && disk.bus == "scsi") return true;
    return std::any_of(disk.underlying.begin(), disk.underlying.end(), diskKnownToSpin);
}

int scanThreadCount(const MountEntry& volume) {
    if (isOnSpinningDisk(volume)) return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 8u));
}

int spareScanThreadCount(int scanThreads) {
    return scanThreads > 1 ? scanThreads : 0;
}

}  // namespace fan
