#include "core/scan_threads.h"

#include <algorithm>
#include <thread>

namespace fan {

int scanThreadCount(const MountEntry& volume) {
    if (isOnRotationalDisk(volume)) return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 8u));
}

}  // namespace fan
