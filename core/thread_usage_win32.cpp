#include <windows.h>

#include "core/thread_usage.h"

namespace fan {

// GetThreadTimes counts in steps of the scheduler's tick (about 16 ms): a
// single listing reads as 0 or a whole tick, a few hundred of them average
// out.
int64_t threadCpuNs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32) | static_cast<int64_t>(t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 100;  // 100 ns units
}

// Windows counts a thread's reads with those the cache served.
int64_t threadDiskReads() {
    return 0;
}

}  // namespace fan
