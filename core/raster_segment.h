// One annular sector as the ring rasteriser paints it: the record its
// callers fill and the polygon code reads.
#pragma once

#include <cstdint>

namespace fan {

// Radii in output pixels (inner 0 gives a pie slice); angles in radians from
// 12 o'clock growing clockwise, so the point at angle t and radius r is
// (centre + r*sin t, centre - r*cos t) with y downwards.
struct RasterSegment {
    double innerRadius = 0.0;
    double outerRadius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

}  // namespace fan
