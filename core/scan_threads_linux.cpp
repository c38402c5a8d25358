#include "core/scan_threads.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sched.h>
#include <system_error>
#include <thread>

namespace fan {
namespace {

namespace fs = std::filesystem;

// A disk's folder in sysfs: its queue settings, its device's bus, and the
// disks under it (of a mapped or RAID device), followed a few levels down.
DiskFacts readDisk(const fs::path& disk, int levels) {
    DiskFacts facts;
    std::ifstream in(disk / "queue/rotational");
    int rotational = 0;
    facts.rotational = in >> rotational && rotational == 1;
    std::error_code error;
    const fs::path bus = fs::read_symlink(disk / "device/subsystem", error);
    if (!error) facts.bus = bus.filename().string();
    if (levels > 0) {
        for (const fs::directory_entry& slave : fs::directory_iterator(disk / "slaves", error))
            facts.underlying.push_back(readDisk("/sys/class/block" / slave.path().filename(), levels - 1));
    }
    return facts;
}

}  // namespace

int usableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
    return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

bool isOnSpinningDisk(const MountEntry& volume) {
    // "major:minor" names the block device; a partition keeps its queue
    // settings in the disk's folder, one level up.
    if (volume.device.empty() || volume.device.find('/') != std::string::npos) return false;
    const fs::path device = "/sys/dev/block/" + volume.device;
    std::error_code error;
    const fs::path disk = fs::exists(device / "queue", error) ? device : device / "..";
    return diskKnownToSpin(readDisk(disk, 4));
}

}  // namespace fan
