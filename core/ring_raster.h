// The ring rasteriser: solid annular sectors painted into a square RGB
// buffer with supersampled edges.
//
// A pure function of its arguments with no shared state, so any thread may
// call it; the map widget calls it on the GUI thread whenever its cached
// ring image is stale. No toolkit, tree or palette is known here.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/raster_segment.h"

namespace fan {

// Paints `segments` in vector order (a later sector overwrites an earlier
// one, no blending) over `background` into a size x size image centred on
// (centre, centre), and returns it as size * size * 3 bytes: rows top to
// bottom, pixels left to right, red, green, blue.
//
// Each sector becomes a polygon whose chords stray at most 0.08 px from its
// outer arc; canvas rows (size * ss on a side, ss = supersample clamped to
// 1..6) are filled where row centres lie inside it by the even-odd rule, and
// every output pixel is the box average of its ss x ss canvas pixels,
// rounded half up. Only a band of ss canvas rows is held at a time.
//
// Throws std::invalid_argument("Invalid chart size") for a size outside
// 1..1536, before allocating. A sector is skipped unless its four fields are
// finite, innerRadius < outerRadius and startAngle < endAngle, and its angles
// lie within +-1e12; radii beyond +-1e12 px are clamped to that (they lie far
// outside any image). Nothing is painted when centre is not finite or lies
// more than 2e12 px away, where no clamped sector can reach the image.
// Memory exhaustion propagates as std::bad_alloc.
std::vector<uint8_t> rasterizeRings(int size, double centre, std::array<uint8_t, 3> background,
                                    const std::vector<RasterSegment>& segments, int supersample);

// Rows rowBegin to rowEnd - 1 (clamped to the image) of the image
// rasterizeRings would paint, byte for byte the same, as (rowEnd - rowBegin)
// * size * 3 bytes; empty when no row is left. Lets a caller repaint only
// the rows a change of colour reaches. Fails as rasterizeRings does.
std::vector<uint8_t> rasterizeRingRows(int size, double centre, std::array<uint8_t, 3> background,
                                       const std::vector<RasterSegment>& segments, int supersample, int rowBegin,
                                       int rowEnd);

}  // namespace fan
