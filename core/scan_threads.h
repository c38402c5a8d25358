// How many threads list folders for a scan of one volume.
//
// Asked once per scan on the scan worker; reads only system descriptions
// (Linux: sysfs), never the volume itself, so it cannot hang on a dead mount.
#pragma once

#include <string>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

// Parallel listing only adds seeks on a spinning disk: one thread there.
// Otherwise one per processor the process may run on, at most 8 (beyond
// that the kernel's own locks, not the threads, set the pace).
int scanThreadCount(const MountEntry& volume);

// The processors this process may run on (Linux: its affinity mask, as
// `taskset` sets it); at least 1.
int usableProcessors();

// Spare threads beside `scanThreads`, which list only while the listings
// mostly wait for the disk: a cold cache on a disk that serves many reads
// at once (solid-state, virtual) answers sooner with more reads in flight.
// As many again; none beside the one thread of a spinning disk.
int spareScanThreadCount(int scanThreads);

// The listing threads and spare ones a scan asked for `threads` and
// `spareThreads` runs: fewer under a low limit on open descriptors, spare
// ones going first.
struct ListingThreads {
    int threads;
    int spares;
};
ListingThreads affordableShare(int threads, int spareThreads);

// What the system tells of the disk a volume lies on.
struct DiskFacts {
    bool rotational = false;            // its rotational flag is set
    std::string bus;                    // its device's subsystem ("scsi", "virtio", "xen"), empty if none
    std::vector<DiskFacts> underlying;  // the disks a mapped or RAID device is made of
};

// Whether the kernel knows the disk spins. Only a SCSI disk (ATA and USB
// disks are driven as SCSI disks too) has its rotational flag from the
// drive itself; virtio, Xen and other disks report 1 because they cannot
// tell. A device mapped onto disks spins when one of them does.
bool diskKnownToSpin(const DiskFacts& disk);

// Whether the volume lies on a disk known to spin; false when unknown
// (network, memory and virtual file systems, virtual disks).
bool isOnSpinningDisk(const MountEntry& volume);

}  // namespace fan
