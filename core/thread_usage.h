// What the calling thread has used so far, processor time and reads from
// disk, so the listing threads can tell time spent working from time spent
// waiting.
#pragma once

#include <cstdint>

namespace fan {

// Nanoseconds of processor time used by the calling thread so far; 0 where
// the system cannot tell.
int64_t threadCpuNs();

// Blocks the calling thread has had read from a disk so far (what the
// page cache held is not counted); 0 where the system cannot tell.
int64_t threadDiskReads();

}  // namespace fan
