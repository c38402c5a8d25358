#include <ctime>
#include <sys/resource.h>

#include "core/thread_usage.h"

namespace fan {

int64_t threadCpuNs() {
    timespec now{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

int64_t threadDiskReads() {
#ifdef RUSAGE_THREAD
    struct rusage usage {};
    if (::getrusage(RUSAGE_THREAD, &usage) == 0) return usage.ru_inblock;
#endif
    return 0;
}

}  // namespace fan
