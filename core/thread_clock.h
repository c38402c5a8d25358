// The processor time the calling thread has used, beside the wall clock, so
// the listing threads can tell time spent working from time spent waiting.
#pragma once

#include <cstdint>

namespace fan {

// Nanoseconds of processor time used by the calling thread so far; 0 where
// the system cannot tell.
int64_t threadCpuNs();

}  // namespace fan
