#include "ui/map_geometry.h"

#include <algorithm>
#include <cmath>

namespace fan {

namespace {

int clampDetail(int detailIndex) {
    return std::clamp(detailIndex, 0, 2);
}

}  // namespace

RingPlacement placeRings(int x, int y, int w, int h, double holeShare, double minHole) {
    const int left = listLeftFor(x, w);
    const double top = y + 98.0;
    const double bottom = y + h - 168.0;
    const double cx = (x + left) * 0.5;
    const double cy = (top + bottom) * 0.5;

    RingPlacement p;
    p.radius = std::min((left - x - 64) * 0.5, (h - 266) * 0.5);
    if (p.radius > 90.0) {
        p.hole = p.radius * holeShare;
        if (p.hole <= minHole) p.hole = minHole;
    } else {
        p.radius = 90.0;
        p.hole = minHole;
    }
    p.side = std::max(184, static_cast<int>(std::ceil(2.0 * p.radius)) + 4);
    // std::round takes halves away from zero, as the placement needs.
    p.originX = static_cast<int>(std::round(cx - p.side * 0.5));
    p.originY = static_cast<int>(std::round(cy - p.side * 0.5));
    p.centerX = p.originX + p.side * 0.5;
    p.centerY = p.originY + p.side * 0.5;
    return p;
}

std::array<PixelBox, 4> boxesAround(PixelBox outer, PixelBox hole) {
    const int right = outer.x + outer.w;
    const int bottom = outer.y + outer.h;
    const int holeTop = std::clamp(hole.y, outer.y, bottom);
    const int holeBottom = std::clamp(hole.y + hole.h, holeTop, bottom);
    const int holeLeft = std::clamp(hole.x, outer.x, right);
    const int holeRight = std::clamp(hole.x + hole.w, holeLeft, right);
    return {{{outer.x, outer.y, outer.w, holeTop - outer.y},
             {outer.x, holeBottom, outer.w, bottom - holeBottom},
             {outer.x, holeTop, holeLeft - outer.x, holeBottom - holeTop},
             {holeRight, holeTop, right - holeRight, holeBottom - holeTop}}};
}

int rasterSideFor(int side, double scale) {
    const int raster = scale > 1.0 ? static_cast<int>(std::ceil(scale * side)) : side;
    return std::min(raster, kRasterCap);
}

int listRowsFor(int h) {
    const int available = h - 234;
    return available >= kListRowHeight ? available / kListRowHeight : 0;
}

int clampListScroll(int scroll, uint64_t count, int rows) {
    const int64_t excess = static_cast<int64_t>(std::min<uint64_t>(count, INT32_MAX)) - rows;
    if (excess <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>(scroll, 0, excess));
}

int wheelListScroll(int scroll, int wheelSteps, uint64_t count, int rows) {
    const int64_t last = static_cast<int64_t>(std::min<uint64_t>(count, INT32_MAX)) - rows;
    const int64_t s = int64_t{scroll} + 3 * int64_t{wheelSteps};
    if (s < 0 || last <= 0) return 0;
    return static_cast<int>(std::min(s, last));
}

std::pair<int, int> rasterRowsOf(const RasterSegment& sector, double centre, int size) {
    // y = centre - r cos(a) is extreme at the sector's ends or where it
    // passes 12 or 6 o'clock.
    double top = 1e300, bottom = -1e300;
    const auto take = [&](double radius, double angle) {
        const double y = centre - radius * std::cos(angle);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    };
    for (double radius : {sector.innerRadius, sector.outerRadius})
        for (double angle : {sector.startAngle, sector.endAngle})
            take(radius, angle);
    // The top and bottom of the circle, over the two turns a sector may span.
    for (int half = 0; half <= 4; ++half) {
        const double extreme = half * M_PI;
        if (sector.startAngle <= extreme && extreme <= sector.endAngle) take(sector.outerRadius, extreme);
    }
    const int first = static_cast<int>(std::clamp(std::floor(top) - 1.0, 0.0, double(size)));
    const int last = static_cast<int>(std::clamp(std::ceil(bottom) + 2.0, 0.0, double(size)));
    return {first, last};
}

int detailDepth(int detailIndex) {
    return 4 + clampDetail(detailIndex);
}

double detailMinArc(int detailIndex) {
    static const double arcs[3] = {6.0, 3.0, 1.5};
    return arcs[clampDetail(detailIndex)];
}

}  // namespace fan
