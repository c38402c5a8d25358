// Bilinear scaling of a square image, for the map images that are
// rasterised smaller than they are drawn; pixman does the work (its SIMD
// paths, the ones the X server and cairo use).
//
// Pure functions, no toolkit: any thread may call them. The map calls them
// on the GUI thread once per rebuild of its image and for the rows a hover
// repaints.
#pragma once

#include <cstdint>

namespace fan {

// Writes `source`, from x from pixels of 32 bits (0x00RRGGBB, rows top to
// bottom), scaled to to x to into `target`, which holds to x to pixels;
// only target rows rowBegin to rowEnd - 1 when a range is given, the rest
// left as they are. Pixel centres map onto pixel centres and the edge
// pixels extend outwards, so the image's middle stays its middle at any
// size. Does nothing when either side is not positive.
void resampleSquare(const uint32_t* source, int from, uint32_t* target, int to, int rowBegin = 0,
                    int rowEnd = INT32_MAX);

// The target rows [begin, end) whose pixels may depend on source rows
// sourceBegin to sourceEnd - 1 in that scaling; empty (begin == end) when
// none do.
struct RowSpan {
    int begin = 0;
    int end = 0;
};
RowSpan resampledRows(int from, int to, int sourceBegin, int sourceEnd);

}  // namespace fan
