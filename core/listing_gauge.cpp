#include "core/listing_gauge.h"

namespace fan {
namespace {

// Long enough to average out clocks that count processor time in ticks of
// 16 ms, short against a scan from disk.
constexpr int64_t kWindowNs = 30'000'000;

}  // namespace

bool ListingGauge::add(int64_t cpuNs, int64_t diskReads, int64_t nowNs) {
    windowCpuNs_ += cpuNs;
    windowDiskReads_ += diskReads;
    const int64_t elapsed = nowNs - windowStartNs_;
    if (elapsed < kWindowNs) return false;
    const bool waited = waiting_;
    waiting_ = windowDiskReads_ > 0 || windowCpuNs_ * 2 < elapsed * threads_;
    windowStartNs_ = nowNs;
    windowCpuNs_ = 0;
    windowDiskReads_ = 0;
    return waiting_ && !waited;
}

}  // namespace fan
