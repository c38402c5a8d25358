// Where the map puts its rings, its ring image and its contents list for a
// given widget box, and the detail modes' ring counts: plain arithmetic, so
// the drawing and the hit test agree and tests can check it without a window.
//
// Pure functions of their arguments, no toolkit state; any thread may call
// them, though only the map widget does, on the GUI thread.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "core/ring_raster.h"

namespace fan {

// Height of one row of the contents list, in pixels.
inline constexpr int kListRowHeight = 62;
// The strip along the widget's bottom edge that never hits a node.
inline constexpr int kNoHitStrip = 96;
// The largest side the ring image is rasterised at; a larger side is drawn
// from a resampled copy.
inline constexpr int kRasterCap = 1024;

// The rings and their image for one widget box. The centre lies on the
// image's middle, so the drawn rings and the pointer tests share it.
struct RingPlacement {
    double radius = 0.0;  // outer radius of the outermost ring
    double hole = 0.0;    // radius of the central hole
    int side = 0;         // side of the square image, window pixels
    int originX = 0;      // the image's top-left corner
    int originY = 0;
    double centerX = 0.0;
    double centerY = 0.0;
};

// A box in window pixels.
struct PixelBox {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The parts of `outer` that `hole` leaves: the bands above and below it
// across the whole width and those to its left and right at its height.
// Bands with no area come out empty (w or h 0).
std::array<PixelBox, 4> boxesAround(PixelBox outer, PixelBox hole);

// x where the right-hand list panel starts.
inline int listLeftFor(int x, int w) {
    return x + w - 330;
}

// Places the rings in the area left of the list panel between the header and
// the legend. The hole is holeShare of the radius but never below minHole;
// in a box too small for a radius above 90 the radius is 90 and the hole
// minHole, even if the image then overflows the panel.
RingPlacement placeRings(int x, int y, int w, int h, double holeShare, double minHole);

// The raster side for an image drawn at `side` on a screen of `scale` device
// pixels per window pixel: the device size, at most kRasterCap.
int rasterSideFor(int side, double scale);

// First row's top and number of whole rows of the contents list.
inline int listTopFor(int y) {
    return y + 88;
}
int listRowsFor(int h);

// `scroll` kept within 0 .. count - rows (0 when everything fits).
int clampListScroll(int scroll, uint64_t count, int rows);

// The list position after `wheelSteps` wheel steps of three rows each from
// `scroll` (positive steps go down the list), kept within the same range.
int wheelListScroll(int scroll, int wheelSteps, uint64_t count, int rows);

// The rows [first, second) of a size x size raster centred on (centre,
// centre) that `sector` can paint, a pixel of margin included.
std::pair<int, int> rasterRowsOf(const RasterSegment& sector, double centre, int size);

// Ring count and minimum arc, in pixels at the outer radius, of the detail
// choice's selected index: 0 Overview, 1 Normal, 2 Detailed; no selection
// (-1) and anything out of range are clamped to that range.
int detailDepth(int detailIndex);
double detailMinArc(int detailIndex);

}  // namespace fan
