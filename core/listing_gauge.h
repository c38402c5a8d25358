// Tells whether the listing threads mostly wait (for a disk that answers
// slowly) or keep their cores busy, from what their listings use.
#pragma once

#include <cstdint>

namespace fan {

// Fed with the processor time and disk reads of each listing as it ends, by
// one thread at a time; tells anew once per window of wall time. The
// listings wait when they read from a disk (more reads in flight then
// finish sooner), or used less than half of the processor time the listing
// threads could have: the cores sat idle while the threads waited, as on a
// network file system. Spare threads feed it too, and turn it back once
// they keep the cores busy; a gauge of each listing's wall time against its
// processor time would read the threads' crowding out of one another as
// waiting. A disk read even once in a window counts: with the page cache
// cold they come by the thousand, with it warm none.
class ListingGauge {
public:
    ListingGauge(int listingThreads, int64_t nowNs) : threads_(listingThreads), windowStartNs_(nowNs) {}

    // Adds a listing's processor time and disk reads at wall time `nowNs`;
    // true when the gauge has just turned to waiting.
    bool add(int64_t cpuNs, int64_t diskReads, int64_t nowNs);

    bool waiting() const { return waiting_; }

private:
    int64_t threads_;
    int64_t windowStartNs_;
    int64_t windowCpuNs_ = 0;
    int64_t windowDiskReads_ = 0;
    bool waiting_ = false;
};

}  // namespace fan
