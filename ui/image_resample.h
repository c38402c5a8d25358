// Bilinear resampling of a square RGB image, for the map images that are
// rasterised smaller than they are drawn.
//
// A pure function, no toolkit: any thread may call it. The map calls it on
// the GUI thread once per rebuild of its image, so it is written for speed
// (fixed-point weights computed once per column and row).
#pragma once

#include <cstdint>

namespace fan {

// Writes `source`, from x from RGB bytes (rows top to bottom), resampled to
// to x to into `target`, which holds to x to x 3 bytes; only target rows
// rowBegin to rowEnd - 1 when a range is given, the rest left as they are.
// Pixel centres map onto pixel centres, so the image's middle stays its
// middle at any size. Does nothing when either side is not positive.
void resampleSquareRgb(const uint8_t* source, int from, uint8_t* target, int to, int rowBegin = 0,
                       int rowEnd = INT32_MAX);

// The target rows [begin, end) whose pixels depend on source rows
// sourceBegin to sourceEnd - 1 in that resampling; empty (begin == end)
// when none do.
struct RowSpan {
    int begin = 0;
    int end = 0;
};
RowSpan resampledRows(int from, int to, int sourceBegin, int sourceEnd);

}  // namespace fan
