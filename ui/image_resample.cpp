#include "ui/image_resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace fan {

namespace {

// Weights in 1/256: the two source samples around one output sample.
struct Tap {
    size_t first;  // offset of the first source sample; the second is the next one, or the same at the edge
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
// the default optimisation level; the tail is done one byte at a time. The
// sums stay within 16 bits (255 * 256), so eight or sixteen lanes at once.
constexpr size_t kBlock = 16;

inline uint8_t mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb) {
    return static_cast<uint8_t>((a * wa + b * wb + 128) >> 8);
}

void blendRows(const uint8_t* __restrict a, const uint8_t* __restrict b, uint16_t wa, uint16_t wb,
               uint8_t* __restrict out, size_t length) {
    size_t i = 0;
    for (; i + kBlock <= length; i += kBlock)
        for (size_t j = 0; j < kBlock; ++j)
            out[i + j] = static_cast<uint8_t>(static_cast<uint16_t>(a[i + j] * wa + b[i + j] * wb + 128) >> 8);
    for (; i < length; ++i)
        out[i] = mix(a[i], b[i], wa, wb);
}

}  // namespace

void resampleSquareRgb(const uint8_t* source, int from, uint8_t* target, int to, int rowBegin, int rowEnd) {
    if (from <= 0 || to <= 0) return;
    rowBegin = std::max(rowBegin, 0);
    rowEnd = std::min(rowEnd, to);
    const std::vector<Tap> columns = taps(from, to, 3);
    const std::vector<Tap> lines = taps(from, to, 1);
    const size_t srcLine = size_t(from) * 3;
    const size_t line = size_t(to) * 3;
    // Source rows resampled across; each source row is done once and kept
    // while the output rows between it and the next use it.
    std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(line), std::vector<uint8_t>(line)};
    int64_t held[2] = {-1, -1};  // source row in each buffer, -1 for none
    auto across = [&](size_t sourceRow) -> const uint8_t* {
        for (int k = 0; k < 2; ++k)
            if (held[k] == static_cast<int64_t>(sourceRow)) return rows[k].data();
        // Replace the row that lies further up: output rows only move down.
        const int k = held[0] < held[1] ? 0 : 1;
        held[k] = static_cast<int64_t>(sourceRow);
        const uint8_t* in = source + sourceRow * srcLine;
        uint8_t* __restrict out = rows[k].data();
        for (const Tap& tx : columns) {
            const uint8_t* p = in + tx.first;
            const uint8_t* q = in + tx.second;
            if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) {
                // Inside a flat area, which most of a ring image is.
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
            } else {
                const uint32_t wb = tx.weight, wa = 256 - wb;
                out[0] = mix(p[0], q[0], wa, wb);
                out[1] = mix(p[1], q[1], wa, wb);
                out[2] = mix(p[2], q[2], wa, wb);
            }
            out += 3;
        }
        return rows[k].data();
    };
    for (int y = rowBegin; y < rowEnd; ++y) {
        const Tap& ty = lines[size_t(y)];
        const uint8_t* a = across(ty.first);
        const uint8_t* b = across(ty.second);
        const auto wb = static_cast<uint16_t>(ty.weight), wa = static_cast<uint16_t>(256 - ty.weight);
        blendRows(a, b, wa, wb, target + size_t(y) * line, line);
    }
}

RowSpan resampledRows(int from, int to, int sourceBegin, int sourceEnd) {
    RowSpan span;
    if (from <= 0 || to <= 0) return span;
    const std::vector<Tap> lines = taps(from, to, 1);
    const auto reaches = [&](const Tap& t) {
        return static_cast<int64_t>(t.second) >= sourceBegin && static_cast<int64_t>(t.first) < sourceEnd;
    };
    int y = 0;
    while (y < to && !reaches(lines[size_t(y)]))
        ++y;
    span.begin = span.end = y;
    while (span.end < to && reaches(lines[size_t(span.end)]))
        ++span.end;
    return span;
}

}  // namespace fan
