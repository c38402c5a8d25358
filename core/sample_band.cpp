#include "core/sample_band.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace fan {

namespace {

// Sixteen bytes of sample lanes, signed so that lane numbers compare: SSE2
// on baseline x86-64, plain words elsewhere. Memory is read and written
// through memcpy, so the samples' own type is the only one that touches it.
template <typename Index>
struct LaneWord;
template <>
struct LaneWord<uint16_t> {
    typedef int16_t Type __attribute__((vector_size(16)));
};
template <>
struct LaneWord<uint32_t> {
    typedef int32_t Type __attribute__((vector_size(16)));
};

template <typename Word>
inline Word loadWord(const void* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

template <typename Word>
inline void storeWord(void* p, Word w) {
    std::memcpy(p, &w, sizeof w);
}

template <typename Word>
inline bool anyLane(Word w) {
    typedef uint64_t Halves __attribute__((vector_size(16)));
    const auto halves = reinterpret_cast<Halves>(w);
    return (halves[0] | halves[1]) != 0;
}

}  // namespace

template <int SS, typename Index>
SampleBand<SS, Index>::SampleBand(int size, Index mark)
    : size_(size),
      columns_(size * SS),
      mark_(mark),
      entries_(static_cast<size_t>(size)),
      slots_(static_cast<size_t>(size), 0),
      owners_(static_cast<size_t>(size), 0),
      pool_(static_cast<size_t>(size) * kSlotSize) {}

template <int SS, typename Index>
void SampleBand<SS, Index>::clear(Index colour) {
    std::fill(entries_.begin(), entries_.end(), colour);
    used_ = 0;
}

template <int SS, typename Index>
void SampleBand<SS, Index>::fillRuns(const int32_t* starts, const int32_t* ends, Index colour) {
    // An empty row becomes (columns_, 0), so that it neither narrows the
    // pixels every row covers nor widens the span of the edges. Pixels
    // whose whole block lies inside every row's run take the colour as a
    // whole; the ones between them and the outermost run ends are painted
    // row by row.
    int32_t s[SS];
    int32_t e[SS];
    int32_t inner0 = 0;
    int32_t inner1 = columns_;
    int32_t outer0 = columns_;
    int32_t outer1 = 0;
    for (int j = 0; j < SS; ++j) {
        const bool empty = ends[j] <= starts[j];
        s[j] = empty ? columns_ : starts[j];
        e[j] = empty ? 0 : ends[j];
        inner0 = std::max(inner0, s[j]);
        inner1 = std::min(inner1, e[j]);
        outer0 = std::min(outer0, s[j]);
        outer1 = std::max(outer1, e[j]);
    }
    if (outer1 <= outer0) return;
    // Columns are never negative: unsigned division by the constant is a
    // multiplication.
    const int first = static_cast<int>(static_cast<uint32_t>(outer0) / SS);
    const int last = static_cast<int>(static_cast<uint32_t>(outer1 - 1) / SS) + 1;
    const int full0 = static_cast<int>(static_cast<uint32_t>(inner0 + SS - 1) / SS);
    const int full1 = static_cast<int>(static_cast<uint32_t>(inner1) / SS);
    if (full0 >= full1) {
        paintEdges(first, last, s, e, colour);
        return;
    }
    std::fill(entries_.begin() + full0, entries_.begin() + full1, colour);
    paintEdges(first, full0, s, e, colour);
    paintEdges(full1, last, s, e, colour);
}

template <int SS, typename Index>
Index* SampleBand<SS, Index>::mixedSamples(int x) {
    Index& entry = entries_[x];
    if (entry == mark_) return pool_.data() + static_cast<size_t>(slots_[x]) * kSlotSize;
    // A pixel mixed earlier in this band and covered whole since takes its
    // old slot back, so the pool never needs more slots than pixels.
    int32_t slot = slots_[x];
    if (slot >= used_ || owners_[slot] != x) {
        slot = used_++;
        owners_[slot] = x;
        slots_[x] = slot;
    }
    Index* samples = pool_.data() + static_cast<size_t>(slot) * kSlotSize;
    std::fill(samples, samples + kSlotSize, entry);
    entry = mark_;
    return samples;
}

template <int SS, typename Index>
void SampleBand<SS, Index>::paintEdges(int x0, int x1, const int32_t* starts, const int32_t* ends, Index colour) {
    using Word = typename LaneWord<Index>::Type;
    using Lane = std::make_signed_t<Index>;
    constexpr int kWordLanes = static_cast<int>(16 / sizeof(Index));
    constexpr int kWords = kLanes / kWordLanes;  // per sample row
    Word lane[kWords];
    Word used[kWords];
    for (int w = 0; w < kWords; ++w)
        for (int t = 0; t < kWordLanes; ++t) {
            lane[w][t] = static_cast<Lane>(w * kWordLanes + t);
            used[w][t] = w * kWordLanes + t < SS ? Lane{-1} : Lane{0};
        }
    const Word fill = Word{} + static_cast<Lane>(colour);

    for (int x = x0; x < x1; ++x) {
        const int base = x * SS;
        // Lane t of row j takes the colour when starts[j] <= base + t <
        // ends[j]; the differences stay within +-9216, so they fit any lane.
        Word masks[SS][kWords];
        Word any = {};
#pragma GCC unroll 8
        for (int j = 0; j < SS; ++j) {
            const Word from = Word{} + static_cast<Lane>(starts[j] - base);
            const Word to = Word{} + static_cast<Lane>(ends[j] - base);
            for (int w = 0; w < kWords; ++w) {
                masks[j][w] = (lane[w] >= from) & (lane[w] < to) & used[w];
                any |= masks[j][w];
            }
        }
        // Nothing of this pixel is painted, or it is painted with the
        // colour it already has all over: it stays as it is.
        if (!anyLane(any) || entries_[x] == colour) continue;
        Index* rows = mixedSamples(x);
#pragma GCC unroll 8
        for (int j = 0; j < SS; ++j)
            for (int w = 0; w < kWords; ++w) {
                Index* p = rows + j * kLanes + w * kWordLanes;
                const Word m = masks[j][w];
                storeWord(p, (loadWord<Word>(p) & ~m) | (fill & m));
            }
    }
}

template <int SS, typename Index>
void SampleBand<SS, Index>::downsample(const RasterPalette& palette, uint8_t* out) const {
    // Every pixel first as if uniform (the mark's entry is a placeholder),
    // four bytes at a time, each store's fourth byte overwritten by the next
    // pixel; then the mixed ones, three bytes each.
    const uint32_t* bytes = palette.bytes.data();
    for (int x = 0; x + 1 < size_; ++x) std::memcpy(out + 3 * x, &bytes[entries_[x]], 4);
    std::memcpy(out + 3 * (size_ - 1), &bytes[entries_[size_ - 1]], 3);

    constexpr unsigned kArea = SS * SS;
    constexpr unsigned kHalf = kArea / 2;
    const uint64_t* lanes = palette.lanes.data();
    for (int32_t slot = 0; slot < used_; ++slot) {
        const int32_t x = owners_[slot];
        if (entries_[x] != mark_) continue;  // covered whole again since
        const Index* s = pool_.data() + static_cast<size_t>(slot) * kSlotSize;
        // A sum per row keeps the additions from forming one long chain.
        // Lane sums stay below 8 x 8 x 255, within 16 bits.
        uint64_t rowSums[SS];
#pragma GCC unroll 8
        for (int j = 0; j < SS; ++j) {
            uint64_t rowSum = 0;
#pragma GCC unroll 8
            for (int t = 0; t < SS; ++t) rowSum += lanes[s[j * kLanes + t]];
            rowSums[j] = rowSum;
        }
        uint64_t sum = 0;
        for (int j = 0; j < SS; ++j) sum += rowSums[j];
        uint8_t* o = out + 3 * x;
        o[0] = static_cast<uint8_t>(((sum & 0xFFFF) + kHalf) / kArea);
        o[1] = static_cast<uint8_t>(((sum >> 16 & 0xFFFF) + kHalf) / kArea);
        o[2] = static_cast<uint8_t>(((sum >> 32 & 0xFFFF) + kHalf) / kArea);
    }
}

template class SampleBand<1, uint16_t>;
template class SampleBand<2, uint16_t>;
template class SampleBand<3, uint16_t>;
template class SampleBand<4, uint16_t>;
template class SampleBand<5, uint16_t>;
template class SampleBand<6, uint16_t>;
template class SampleBand<1, uint32_t>;
template class SampleBand<2, uint32_t>;
template class SampleBand<3, uint32_t>;
template class SampleBand<4, uint32_t>;
template class SampleBand<5, uint32_t>;
template class SampleBand<6, uint32_t>;

}  // namespace fan
