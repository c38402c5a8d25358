// One output row's worth of supersampled canvas (SS canvas rows), stored
// per output pixel rather than per sample, then boxed down to RGB bytes.
//
// Internal to the ring rasteriser, one band per call, on the caller's
// thread. Samples are palette indices (RasterPalette) of type Index:
// uint16_t while the palette leaves room for the mixed mark, else uint32_t.
// Each output pixel is either uniform (one index for all its SS x SS
// samples) or mixed, its samples then held in a slot of a small pool as SS
// columns of eight lanes, lane j for canvas row j (lanes past SS unused).
// Painting the runs of all SS rows into one column is one masked blend, so
// an edge pixel costs a few vector operations per sample column and no loop
// over samples; the pool keeps the band's mixed pixels together in cache.
// The result is exactly that of a plain canvas of samples.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "core/raster_palette.h"

namespace fan {

template <int SS, typename Index>
class SampleBand {
public:
    static_assert(SS >= 1 && SS <= 8, "a sample column holds eight lanes");

    // A band for `size` output pixels across, 1 to 1536 (so that canvas
    // columns fit a two-byte lane); `mark` is the palette's free index
    // (RasterPalette::count), which no colour uses.
    SampleBand(int size, Index mark);

    // Sets every sample of the band to `colour`.
    void clear(Index colour);

    // Sets samples [starts[j], ends[j]) of every band row j (0 to SS - 1) to
    // `colour`; a row with ends[j] <= starts[j] is left alone. Requires
    // 0 <= starts[j] and ends[j] <= size * SS.
    void fillRuns(const int32_t* starts, const int32_t* ends, Index colour);

    // Writes the band's output row, 3 * size bytes and one spare byte after
    // them: each pixel the per-channel average of its samples, rounded half
    // up.
    void downsample(const RasterPalette& palette, uint8_t* out) const;

private:
    static constexpr int kLanes = 8;
    static constexpr int kSlotSize = SS * kLanes;

    // Sets the entries of pixels [x0, x1), x0 < x1, to `colour`.
    void fillEntries(int x0, int x1, Index colour);
    // Pixels [x0, gap0) and [gap1, x1) at the ends of a run, sample by
    // sample. starts and ends hold kLanes lanes, row j's bounds in lane j
    // (an empty row as (size * SS, 0)), the unused lanes 32767 and -1.
    using Lane = std::make_signed_t<Index>;
    void paintEdges(int x0, int gap0, int gap1, int x1, const Lane* starts, const Lane* ends, Index colour);

    int size_;
    int columns_;  // size * SS
    Index mark_;
    std::vector<Index> entries_;   // per output pixel: its colour, or mark_ when mixed; kLanes spare
    std::vector<int32_t> slots_;   // per output pixel: its pool slot, valid where mixed
    std::vector<int32_t> owners_;  // per pool slot in use: its pixel
    std::vector<Index> pool_;      // kSlotSize samples per slot
    int32_t used_ = 0;             // pool slots handed out since clear()
};

}  // namespace fan
