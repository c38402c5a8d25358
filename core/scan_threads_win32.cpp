#include "core/scan_threads.h"

namespace fan {

// Not known here: volumes are listed in parallel.
bool isOnSpinningDisk(const MountEntry&) {
    return false;
}

}  // namespace fan
