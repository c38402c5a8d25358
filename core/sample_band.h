// One output row's worth of supersampled canvas (ss canvas rows), stored
// per output pixel rather than per sample, then boxed down to RGB bytes.
//
// Internal to the ring rasteriser. Each output pixel is either "all ss x ss
// samples have one colour" or "mixed", in which case its samples are held
// aside. A sector that covers a pixel's whole block in every row of the band
// costs one write for it; only pixels on its edges are painted sample by
// sample, and the box filter sums only mixed pixels. The result is exactly
// that of a plain canvas of samples.
#pragma once

#include <cstdint>
#include <vector>

namespace fan {

class SampleBand {
public:
    // A band for `size` output pixels across and ss x ss samples per pixel.
    SampleBand(int size, int ss);

    // Canvas pixels in the layout the box filter sums: red, green and blue
    // in 16-bit lanes (bits 0, 16, 32).
    static uint64_t pixel(uint8_t red, uint8_t green, uint8_t blue);

    // Sets every sample of the band to `colour`.
    void clear(uint64_t colour);

    // Sets canvas pixels [c0, c1) of canvas row `row` (0 to ss - 1 within
    // the band) to `colour`; nothing when c1 <= c0. Requires 0 <= c0 and
    // c1 <= size * ss.
    void fillRow(int row, int c0, int c1, uint64_t colour);

    // Sets canvas pixels [starts[j], ends[j]) of every band row j to
    // `colour`, as fillRow on each row would, with the same bounds.
    void fillRows(const int32_t* starts, const int32_t* ends, uint64_t colour);

    // Writes the band's output row: each pixel the per-channel average of
    // its ss x ss samples, rounded half up; 3 * size bytes.
    void downsample(uint8_t* out) const;

private:
    // Pixels [x0, x1), sample by sample: row j gets [starts[j], ends[j]).
    void fillEdge(int x0, int x1, const int32_t* starts, const int32_t* ends, uint64_t colour);
    // The samples of pixel x, made valid first if the pixel was uniform.
    uint64_t* mixedSamples(int x);
    // column / ss for columns of the canvas, by multiplication: exact for
    // values below 2^16 with ss up to 6.
    int pixelOf(int column) const;

    int size_;
    int ss_;
    int area_;                       // ss * ss
    uint64_t reciprocal_;            // 2^32 / ss, rounded up
    std::vector<uint64_t> entries_;  // one per output pixel: a colour, or the mixed mark
    std::vector<uint64_t> samples_;  // ss x ss per output pixel, row by row; valid where mixed
};

}  // namespace fan
