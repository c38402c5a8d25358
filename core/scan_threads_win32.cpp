#include "core/scan_threads.h"

#include <algorithm>
#include <thread>

namespace fan {

// Not known here: volumes are listed in parallel.
bool isOnSpinningDisk(const MountEntry&) {
    return false;
}

int usableProcessors() {
    return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

}  // namespace fan
