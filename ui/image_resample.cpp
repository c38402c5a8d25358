#include "ui/image_resample.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>

namespace fan {

namespace {

// The two source rows around target row `y`: the sample point lies
// (y + 0.5) x from / to - 0.5 down the source. pixman steps in 1/65536
// of a pixel, so a point within a twentieth of a row boundary counts the
// rows on both sides.
RowSpan sourceRowsOf(int y, int from, int to) {
    const double at = (y + 0.5) * from / to - 0.5;
    const int first = std::clamp(static_cast<int>(std::floor(at - 0.05)), 0, from - 1);
    const int second = std::clamp(static_cast<int>(std::floor(at + 0.05)) + 1, 0, from - 1);
    return {first, second + 1};
}

}  // namespace

void resampleSquare(const uint32_t* source, int from, uint32_t* target, int to, int rowBegin, int rowEnd) {
    rowBegin = std::max(rowBegin, 0);
    rowEnd = std::min(rowEnd, to);
    if (from <= 0 || to <= 0 || rowBegin >= rowEnd) return;
    // pixman takes the buffers as they are; it only reads the source.
    pixman_image_t* in = pixman_image_create_bits(PIXMAN_x8r8g8b8, from, from, const_cast<uint32_t*>(source),
                                                  from * static_cast<int>(sizeof(uint32_t)));
    pixman_image_t* out =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, to, to, target, to * static_cast<int>(sizeof(uint32_t)));
    // The transform maps target points onto source points.
    pixman_transform_t scale;
    const pixman_fixed_t step = pixman_double_to_fixed(static_cast<double>(from) / to);
    pixman_transform_init_scale(&scale, step, step);
    pixman_image_set_transform(in, &scale);
    pixman_image_set_filter(in, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(in, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, in, nullptr, out, 0, rowBegin, 0, 0, 0, rowBegin, to, rowEnd - rowBegin);
    pixman_image_unref(out);
    pixman_image_unref(in);
}

RowSpan resampledRows(int from, int to, int sourceBegin, int sourceEnd) {
    RowSpan span;
    if (from <= 0 || to <= 0) return span;
    const auto reaches = [&](int y) {
        const RowSpan rows = sourceRowsOf(y, from, to);
        return rows.end > sourceBegin && rows.begin < sourceEnd;
    };
    int y = 0;
    while (y < to && !reaches(y))
        ++y;
    span.begin = span.end = y;
    while (span.end < to && reaches(span.end))
        ++span.end;
    return span;
}

}  // namespace fan
