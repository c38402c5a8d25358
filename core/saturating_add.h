// Byte sums that stop at the largest value instead of wrapping: sparse files
// and damaged trees can claim sizes whose sum passes 2^64.
#pragma once

#include <atomic>
#include <cstdint>

namespace fan {

inline uint64_t addSaturating(uint64_t a, uint64_t b) {
    return b > ~a ? ~uint64_t{0} : a + b;
}

// The same on a counter that other threads read meanwhile.
inline void addSaturating(std::atomic<uint64_t>& sum, uint64_t b) {
    uint64_t seen = sum.load();
    while (!sum.compare_exchange_weak(seen, addSaturating(seen, b))) {
    }
}

}  // namespace fan
