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
      entries_(static_cast<size_t>(size) + kLanes),
      slots_(static_cast<size_t>(size), 0),
      owners_(static_cast<size_t>(size), 0),
      pool_(static_cast<size_t>(size) * kSlotSize) {}

template <int SS, typename Index>
void SampleBand<SS, Index>::clear(Index colour) {
    // Whole words, into the spare entries at the end too.
    using Word = typename LaneWord<Index>::Type;
    constexpr int kWordLanes = static_cast<int>(16 / sizeof(Index));
    const Word fill = Word{} + static_cast<Lane>(colour);
    for (int x = 0; x < size_; x += kWordLanes)
        storeWord(entries_.data() + x, fill);
    used_ = 0;
}

template <int SS, typename Index>
void SampleBand<SS, Index>::fillRuns(const int32_t* starts, const int32_t* ends, Index colour) {
    // Pixels whose whole block lies inside every row's run take the colour
    // as a whole; the ones between them and the outermost run ends are
    // painted sample by sample. An empty row becomes (columns_, 0), so that
    // it neither narrows the first kind nor widens the second. The bounds
    // go on as sample lanes, the unused lanes set so that they never take
    // the colour (see paintEdges).
    Lane s[kLanes];
    Lane e[kLanes];
    std::fill(s + SS, s + kLanes, Lane{32767});
    std::fill(e + SS, e + kLanes, Lane{-1});
    int32_t inner0 = 0;
    int32_t inner1 = columns_;
    int32_t outer0 = columns_;
    int32_t outer1 = 0;
#pragma GCC unroll 8
    for (int j = 0; j < SS; ++j) {
        const bool empty = ends[j] <= starts[j];
        const int32_t start = empty ? columns_ : starts[j];
        const int32_t end = empty ? 0 : ends[j];
        s[j] = static_cast<Lane>(start);
        e[j] = static_cast<Lane>(end);
        inner0 = std::max(inner0, start);
        inner1 = std::min(inner1, end);
        outer0 = std::min(outer0, start);
        outer1 = std::max(outer1, end);
    }
    if (outer1 <= outer0) return;
    // Columns are never negative: unsigned division by the constant is a
    // multiplication.
    const int first = static_cast<int>(static_cast<uint32_t>(outer0) / SS);
    const int last = static_cast<int>(static_cast<uint32_t>(outer1 - 1) / SS) + 1;
    const int full0 = static_cast<int>(static_cast<uint32_t>(inner0 + SS - 1) / SS);
    const int full1 = static_cast<int>(static_cast<uint32_t>(inner1) / SS);
    if (full0 >= full1) {
        paintEdges(first, last, last, last, s, e, colour);
        return;
    }
    fillEntries(full0, full1, colour);
    paintEdges(first, full0, full1, last, s, e, colour);
}

template <int SS, typename Index>
void SampleBand<SS, Index>::fillEntries(int x0, int x1, Index colour) {
    // Most runs of whole pixels are a few pixels long: a word of entries
    // at a time, as a masked blend, so that a short run costs no loop. The
    // entries keep a word's worth of spare ones at the end for this.
    using Word = typename LaneWord<Index>::Type;
    constexpr int kWordLanes = static_cast<int>(16 / sizeof(Index));
    Word lane;
    for (int l = 0; l < kWordLanes; ++l)
        lane[l] = static_cast<Lane>(l);
    const Word fill = Word{} + static_cast<Lane>(colour);
    Index* p = entries_.data() + x0;
    // Lane counts fit: a run is at most 1536 pixels.
    for (int left = x1 - x0; left > 0; left -= kWordLanes, p += kWordLanes) {
        const Word m = lane < static_cast<Lane>(left);
        storeWord(p, (loadWord<Word>(p) & ~m) | (fill & m));
    }
}

template <int SS, typename Index>
void SampleBand<SS, Index>::paintEdges(int x0, int gap0, int gap1, int x1, const Lane* starts, const Lane* ends,
                                       Index colour) {
    using Word = typename LaneWord<Index>::Type;
    constexpr int kWordLanes = static_cast<int>(16 / sizeof(Index));
    constexpr int kWords = kLanes / kWordLanes;  // per sample column
    // Sample t of row j (lane j of column t) takes the colour when
    // from[j] <= t < to[j], with from[j] = starts[j] - x * SS and to[j] =
    // ends[j] - x * SS: one vector holds every row's bounds, stepped along
    // with x. Real lanes stay within +-9216; unused lanes start at 32767
    // and -1 and so never take the colour. Both fit any lane.
    Word from[kWords];
    Word to[kWords];
    for (int w = 0; w < kWords; ++w) {
        from[w] = loadWord<Word>(starts + w * kWordLanes) - static_cast<Lane>(x0 * SS);
        to[w] = loadWord<Word>(ends + w * kWordLanes) - static_cast<Lane>(x0 * SS);
    }
    const Word fill = Word{} + static_cast<Lane>(colour);
    const Word mixed = Word{} + static_cast<Lane>(mark_);
    for (int x = x0; x < x1; ++x) {
        if (x == gap0) {
            const Lane skip = static_cast<Lane>((gap1 - gap0) * SS);
            for (int w = 0; w < kWords; ++w) {
                from[w] -= skip;
                to[w] -= skip;
            }
            x = gap1;
            if (x >= x1) break;
        }
        Word masks[SS][kWords];
        Word any = {};
#pragma GCC unroll 8
        for (int t = 0; t < SS; ++t)
            for (int w = 0; w < kWords; ++w) {
                masks[t][w] = (from[w] <= static_cast<Lane>(t)) & (to[w] > static_cast<Lane>(t));
                any |= masks[t][w];
            }
        for (int w = 0; w < kWords; ++w) {
            from[w] -= static_cast<Lane>(SS);
            to[w] -= static_cast<Lane>(SS);
        }
        // Nothing of this pixel is painted, or it is painted with the
        // colour it already has all over: it stays as it is.
        Index& entry = entries_[x];
        if (!anyLane(any) || entry == colour) continue;

        // A uniform pixel turns mixed: its samples, all its old colour, go
        // to a slot, the one it had earlier in this band if it was mixed
        // before (so the pool never needs more slots than pixels), else the
        // next free one. Done without branches, since whether a pixel is
        // mixed already follows no pattern.
        int32_t slot = slots_[x];
        const bool owned = (slot < used_) & (owners_[slot] == x);
        // Arithmetic rather than a choice, which the compiler would branch on.
        const int32_t ownedMask = -static_cast<int32_t>(owned);
        slot = (slot & ownedMask) | (used_ & ~ownedMask);
        used_ += !owned;
        owners_[slot] = x;
        slots_[x] = slot;
        const Word old = Word{} + static_cast<Lane>(entry);
        const Word keep = old == mixed;  // all ones when mixed already
        const Word previous = old & ~keep;
        entry = mark_;
        Index* columns = pool_.data() + static_cast<size_t>(slot) * kSlotSize;
#pragma GCC unroll 8
        for (int t = 0; t < SS; ++t)
            for (int w = 0; w < kWords; ++w) {
                Index* p = columns + t * kLanes + w * kWordLanes;
                const Word m = masks[t][w];
                const Word samples = (loadWord<Word>(p) & keep) | previous;
                storeWord(p, (samples & ~m) | (fill & m));
            }
    }
}

template <int SS, typename Index>
void SampleBand<SS, Index>::downsample(const RasterPalette& palette, uint8_t* out) const {
    // Every pixel first as if uniform (the mark's entry is a placeholder),
    // four bytes at a time, each store's fourth byte overwritten by the next
    // pixel; then the mixed ones, three bytes each.
    const uint32_t* bytes = palette.bytes.data();
#pragma GCC unroll 4
    for (int x = 0; x < size_; ++x)
        std::memcpy(out + 3 * static_cast<size_t>(x), &bytes[entries_[x]], 4);

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
            for (int t = 0; t < SS; ++t)
                rowSum += lanes[s[t * kLanes + j]];
            rowSums[j] = rowSum;
        }
        uint64_t sum = 0;
        for (int j = 0; j < SS; ++j)
            sum += rowSums[j];
        uint8_t* o = out + 3 * static_cast<size_t>(x);
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
