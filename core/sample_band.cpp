#include "core/sample_band.h"

#include <algorithm>

namespace fan {

namespace {

// Colours use lanes 0 to 2; the top bit marks a pixel whose samples are held
// aside.
constexpr uint64_t kMixed = uint64_t{1} << 63;

uint8_t lane(uint64_t sum, int shift, unsigned half, unsigned area) {
    return static_cast<uint8_t>((((sum >> shift) & 0xFFFFu) + half) / area);
}

// SS as a constant lets the compiler turn the divisions into multiplies and
// unroll the sample sums. Lane sums stay below 6 x 6 x 255.
template <int SS>
void boxRow(const uint64_t* entries, const uint64_t* samples, int size, uint8_t* out) {
    constexpr unsigned kArea = SS * SS;
    constexpr unsigned kHalf = kArea / 2;
    for (int x = 0; x < size; ++x, out += 3) {
        const uint64_t entry = entries[x];
        if (!(entry & kMixed)) {
            out[0] = static_cast<uint8_t>(entry);
            out[1] = static_cast<uint8_t>(entry >> 16);
            out[2] = static_cast<uint8_t>(entry >> 32);
            continue;
        }
        const uint64_t* s = samples + static_cast<size_t>(x) * kArea;
        uint64_t sum = 0;
        for (unsigned i = 0; i < kArea; ++i) sum += s[i];
        out[0] = lane(sum, 0, kHalf, kArea);
        out[1] = lane(sum, 16, kHalf, kArea);
        out[2] = lane(sum, 32, kHalf, kArea);
    }
}

}  // namespace

SampleBand::SampleBand(int size, int ss)
    : size_(size),
      ss_(ss),
      area_(ss * ss),
      reciprocal_((uint64_t{1} << 32) / static_cast<uint64_t>(ss) + 1),
      entries_(static_cast<size_t>(size)),
      samples_(static_cast<size_t>(size) * ss * ss) {}

uint64_t SampleBand::pixel(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint64_t>(red) | static_cast<uint64_t>(green) << 16 | static_cast<uint64_t>(blue) << 32;
}

void SampleBand::clear(uint64_t colour) { std::fill(entries_.begin(), entries_.end(), colour); }

uint64_t* SampleBand::mixedSamples(int x) {
    uint64_t* samples = samples_.data() + static_cast<size_t>(x) * area_;
    uint64_t& entry = entries_[x];
    if (!(entry & kMixed)) {
        std::fill(samples, samples + area_, entry);
        entry = kMixed;
    }
    return samples;
}

int SampleBand::pixelOf(int column) const {
    return static_cast<int>((static_cast<uint64_t>(column) * reciprocal_) >> 32);
}

void SampleBand::fillRow(int row, int c0, int c1, uint64_t colour) {
    if (c1 <= c0) return;
    const int firstPixel = pixelOf(c0);
    const int lastPixel = pixelOf(c1 - 1);
    for (int x = firstPixel; x <= lastPixel; ++x) {
        const int base = x * ss_;
        const int from = std::max(c0, base) - base;
        const int to = std::min(c1, base + ss_) - base;
        uint64_t* samples = mixedSamples(x) + row * ss_;
        for (int t = from; t < to; ++t) samples[t] = colour;
    }
}

void SampleBand::fillRows(const int32_t* starts, const int32_t* ends, uint64_t colour) {
    // The pixels whose whole block lies inside every row's run take the
    // colour as a whole; the pixels at either end are painted sample by
    // sample, one pixel at a time across the rows.
    int32_t inner0 = starts[0];
    int32_t inner1 = ends[0];
    int32_t outer0 = starts[0];
    int32_t outer1 = ends[0];
    for (int j = 1; j < ss_; ++j) {
        inner0 = std::max(inner0, starts[j]);
        inner1 = std::min(inner1, ends[j]);
        outer0 = std::min(outer0, starts[j]);
        outer1 = std::max(outer1, ends[j]);
    }
    if (outer1 <= outer0) return;
    const int first = pixelOf(outer0);
    const int last = pixelOf(outer1 - 1) + 1;
    const int full0 = inner0 > 0 ? pixelOf(inner0 + ss_ - 1) : 0;
    const int full1 = inner1 > 0 ? pixelOf(inner1) : 0;
    if (full0 >= full1) {
        fillEdge(first, last, starts, ends, colour);
        return;
    }
    std::fill(entries_.begin() + full0, entries_.begin() + full1, colour);
    fillEdge(first, full0, starts, ends, colour);
    fillEdge(full1, last, starts, ends, colour);
}

void SampleBand::fillEdge(int x0, int x1, const int32_t* starts, const int32_t* ends, uint64_t colour) {
    for (int x = x0; x < x1; ++x) {
        const int base = x * ss_;
        uint64_t* samples = mixedSamples(x);
        for (int j = 0; j < ss_; ++j, samples += ss_) {
            const int from = std::max(starts[j] - base, 0);
            const int to = std::min(ends[j] - base, ss_);
            for (int t = from; t < to; ++t) samples[t] = colour;
        }
    }
}

void SampleBand::downsample(uint8_t* out) const {
    const uint64_t* e = entries_.data();
    const uint64_t* s = samples_.data();
    switch (ss_) {
        case 1: return boxRow<1>(e, s, size_, out);
        case 2: return boxRow<2>(e, s, size_, out);
        case 3: return boxRow<3>(e, s, size_, out);
        case 4: return boxRow<4>(e, s, size_, out);
        case 5: return boxRow<5>(e, s, size_, out);
        default: return boxRow<6>(e, s, size_, out);
    }
}

}  // namespace fan
