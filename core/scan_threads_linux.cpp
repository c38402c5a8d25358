#include "core/scan_threads.h"

#include <fstream>
#include <string>

namespace fan {

bool isOnRotationalDisk(const MountEntry& volume) {
    // "major:minor" names the block device; a partition keeps its queue
    // settings in the disk's folder, one level up.
    if (volume.device.empty() || volume.device.find('/') != std::string::npos) return false;
    const std::string base = "/sys/dev/block/" + volume.device;
    for (const char* queue : {"/queue/rotational", "/../queue/rotational"}) {
        std::ifstream in(base + queue);
        int rotational = 0;
        if (in >> rotational) return rotational == 1;
    }
    return false;
}

}  // namespace fan
