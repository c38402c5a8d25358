// Image work split into bands of rows that run on threads of their own, for
// the ring images the map rebuilds while the user waits on every tick of a
// live preview.
//
// Called on the GUI thread; `work` runs on several threads at once and must
// only write rows of its own band.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/raster_segment.h"

namespace fan {

// Calls work(begin, end) for bands that together cover rows 0 to rows - 1,
// one band on the calling thread, and returns once every band is done. An
// exception from a band is rethrown here after all bands have ended. With
// few rows, one core or no thread to be had, the calling thread does all.
void forRowBands(int rows, const std::function<void(int begin, int end)>& work);

// rasterizeRings, byte for byte, its rows painted in bands; fails as it does.
std::vector<uint8_t> rasterizeRingsInBands(int size, double centre, std::array<uint8_t, 3> background,
                                           const std::vector<RasterSegment>& segments, int supersample);

}  // namespace fan
