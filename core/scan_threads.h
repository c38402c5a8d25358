// How many threads list folders for a scan of one volume.
//
// Asked once per scan on the scan worker; reads only system descriptions
// (Linux: sysfs), never the volume itself, so it cannot hang on a dead mount.
#pragma once

#include "core/mount_entry.h"

namespace fan {

// Parallel listing only adds seeks on a spinning disk: one thread there.
// Otherwise one per core, at most 8 (beyond that the kernel's own locks,
// not the threads, set the pace).
int scanThreadCount(const MountEntry& volume);

// Whether the volume lies on a rotational disk; false when unknown
// (network, memory and virtual file systems).
bool isOnRotationalDisk(const MountEntry& volume);

}  // namespace fan
