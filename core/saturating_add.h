// Byte sums that stop at the largest value instead of wrapping: sparse files
// and damaged trees can claim sizes whose sum passes 2^64.
#pragma once

#include <cstdint>

namespace fan {

inline uint64_t addSaturating(uint64_t a, uint64_t b) { return b > ~a ? ~uint64_t{0} : a + b; }

}  // namespace fan
