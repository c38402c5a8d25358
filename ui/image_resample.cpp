#include "ui/image_resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace fan {

namespace {

// Weights in 1/256: the two source samples around one output sample.
struct Tap {
    size_t first;   // offset of the first source sample; the second is the next one, or the same at the edge
    size_t second;
    uint32_t weight;  // of the second sample, 0..256
};

// Offsets count in units of `unit`.
std::vector<Tap> taps(int from, int to, size_t unit) {
    std::vector<Tap> out(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double s = std::clamp((i + 0.5) * step - 0.5, 0.0, from - 1.0);
        const int first = static_cast<int>(s);
        const int second = std::min(first + 1, from - 1);
        out[static_cast<size_t>(i)] = {size_t(first) * unit, size_t(second) * unit,
                                       static_cast<uint32_t>(std::lround((s - first) * 256.0))};
    }
    return out;
}

// Blocks of a fixed length, which the compiler turns into vector code at
// the default optimisation level; the tail is done one byte at a time.
constexpr size_t kBlock = 16;

void blendRows(const uint16_t* __restrict a, const uint16_t* __restrict b, uint32_t wa, uint32_t wb,
               uint8_t* __restrict out, size_t length) {
    size_t i = 0;
    for (; i + kBlock <= length; i += kBlock)
        for (size_t j = 0; j < kBlock; ++j)
            out[i + j] = static_cast<uint8_t>((a[i + j] * wa + b[i + j] * wb + 32768) >> 16);
    for (; i < length; ++i) out[i] = static_cast<uint8_t>((a[i] * wa + b[i] * wb + 32768) >> 16);
}

}  // namespace

void resampleSquareRgb(const uint8_t* source, int from, uint8_t* target, int to) {
    if (from <= 0 || to <= 0) return;
    const std::vector<Tap> columns = taps(from, to, 3);
    const std::vector<Tap> lines = taps(from, to, 1);
    const size_t srcLine = size_t(from) * 3;
    const size_t line = size_t(to) * 3;
    // Source rows resampled across, in 1/256 steps; each source row is done
    // once and kept while the output rows between it and the next use it.
    std::vector<uint16_t> rows[2] = {std::vector<uint16_t>(line), std::vector<uint16_t>(line)};
    int64_t held[2] = {-1, -1};  // source row in each buffer, -1 for none
    auto across = [&](size_t sourceRow) -> const uint16_t* {
        for (int k = 0; k < 2; ++k)
            if (held[k] == static_cast<int64_t>(sourceRow)) return rows[k].data();
        // Replace the row that lies further up: output rows only move down.
        const int k = held[0] < held[1] ? 0 : 1;
        held[k] = static_cast<int64_t>(sourceRow);
        const uint8_t* in = source + sourceRow * srcLine;
        uint16_t* __restrict out = rows[k].data();
        for (const Tap& tx : columns) {
            const uint8_t* p = in + tx.first;
            const uint8_t* q = in + tx.second;
            const uint32_t wb = tx.weight, wa = 256 - wb;
            out[0] = static_cast<uint16_t>(p[0] * wa + q[0] * wb);
            out[1] = static_cast<uint16_t>(p[1] * wa + q[1] * wb);
            out[2] = static_cast<uint16_t>(p[2] * wa + q[2] * wb);
            out += 3;
        }
        return rows[k].data();
    };
    for (int y = 0; y < to; ++y) {
        const Tap& ty = lines[size_t(y)];
        const uint16_t* a = across(ty.first);
        const uint16_t* b = across(ty.second);
        const uint32_t wb = ty.weight, wa = 256 - wb;
        blendRows(a, b, wa, wb, target + size_t(y) * line, line);
    }
}

}  // namespace fan
