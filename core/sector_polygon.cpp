#include "core/sector_polygon.h"

#include <algorithm>
#include <cmath>

namespace fan {

namespace {

constexpr double kPi = 3.14159265358979323846264338327950;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kMaxChordError = 0.08;
constexpr int kMaxArcPieces = 65536;
constexpr double kMinEdgeHeight = 1e-9;
// Beyond this the rings' centre cannot bring a clamped sector onto the image.
constexpr double kCentreLimit = 2.0 * kRasterCoordinateLimit;
// Above this the angle test below loses too much precision to be tight.
constexpr double kTightAngleLimit = 1e6;

bool finiteWithin(double value, double limit) {
    return std::isfinite(value) && std::fabs(value) <= limit;
}

// Whether [start, end] holds an angle of the form base + 2*pi*m.
bool holdsAngle(double start, double end, double base) {
    return std::ceil((start - base) / kTwoPi) * kTwoPi + base <= end;
}

}  // namespace

int arcPieceCount(double outerRadius, double sweep) {
    const double step = std::acos(1.0 - kMaxChordError / std::max(kMaxChordError, outerRadius));
    const double pieces = std::ceil(sweep / (2.0 * step));
    // An infinite count (a step of 0 at huge radii) takes the cap as well.
    if (!(pieces <= kMaxArcPieces)) return kMaxArcPieces;
    return std::max(2, static_cast<int>(pieces));
}

bool sectorExtent(const RasterSegment& segment, double centre, int ss, int n, SectorExtent& extent) {
    if (!finiteWithin(centre, kCentreLimit)) return false;
    if (!std::isfinite(segment.innerRadius) || !std::isfinite(segment.outerRadius)) return false;
    if (!finiteWithin(segment.startAngle, kRasterCoordinateLimit) ||
        !finiteWithin(segment.endAngle, kRasterCoordinateLimit))
        return false;
    const double inner = std::clamp(segment.innerRadius, -kRasterCoordinateLimit, kRasterCoordinateLimit);
    const double outer = std::clamp(segment.outerRadius, -kRasterCoordinateLimit, kRasterCoordinateLimit);
    const double start = segment.startAngle;
    const double end = segment.endAngle;
    if (!(inner < outer) || !(start < end)) return false;

    // The range of cos over the vertex angles, from the end points and the
    // extremes the range holds.
    double cosLow = -1.0;
    double cosHigh = 1.0;
    const double angleMagnitude = std::fabs(start) + std::fabs(end);
    if (end - start < kTwoPi && angleMagnitude <= kTightAngleLimit) {
        const double cosStart = std::cos(start);
        const double cosEnd = std::cos(end);
        cosLow = holdsAngle(start, end, kPi) ? -1.0 : std::min(cosStart, cosEnd);
        cosHigh = holdsAngle(start, end, 0.0) ? 1.0 : std::max(cosStart, cosEnd);
    }
    double yLow = 0.0;
    double yHigh = 0.0;
    bool first = true;
    for (double r : {inner, outer}) {
        for (double c : {cosLow, cosHigh}) {
            const double y = (centre - r * c) * ss;
            yLow = first ? y : std::min(yLow, y);
            yHigh = first ? y : std::max(yHigh, y);
            first = false;
        }
    }
    // Rounding in the vertex angles (which may step past the end by an ulp)
    // and in the coordinates: a generous bound, then two rows to spare.
    const double radius = std::max(std::fabs(inner), std::fabs(outer));
    const double slack = 2.0 + ss * (radius * (angleMagnitude * 1e-15 + 1e-15) + std::fabs(centre) * 1e-15);
    const double top = std::floor(yLow - slack - 0.5);
    const double bottom = std::ceil(yHigh + slack);
    if (bottom < 0.0 || top > n - 1) return false;
    extent = {inner,
              outer,
              start,
              end,
              static_cast<int32_t>(std::max(top, 0.0)),
              static_cast<int32_t>(std::min(bottom, static_cast<double>(n - 1)))};
    return true;
}

void SectorPolygon::build(const SectorExtent& sector, double centre, int ss, int n) {
    n_ = n;
    const double sweep = sector.endAngle - sector.startAngle;
    const int k = arcPieceCount(sector.outerRadius, sweep);
    const size_t count = 2 * static_cast<size_t>(k) + 2;
    vx_.resize(count + 1);
    vy_.resize(count + 1);
    for (int i = 0; i <= k; ++i) {
        const double theta = sector.startAngle + static_cast<double>(i) * sweep / static_cast<double>(k);
        const double s = std::sin(theta);
        const double c = std::cos(theta);
        vx_[i] = (centre + sector.outerRadius * s) * ss;
        vy_[i] = (centre - sector.outerRadius * c) * ss;
        const size_t innerIndex = count - 1 - static_cast<size_t>(i);
        vx_[innerIndex] = (centre + sector.innerRadius * s) * ss;
        vy_[innerIndex] = (centre - sector.innerRadius * c) * ss;
    }
    vx_[count] = vx_[0];
    vy_[count] = vy_[0];

    // Maximal runs of edges whose y never turns back; level edges join any
    // run. Within a run, the edge a row centre crosses only moves forward
    // as rows go down, so a cursor per run finds it.
    chains_.clear();
    const auto edges = static_cast<int32_t>(count);
    int32_t e = 0;
    while (e < edges) {
        const int32_t first = e;
        int direction = 0;
        for (; e < edges; ++e) {
            const int d = (vy_[e + 1] > vy_[e]) - (vy_[e + 1] < vy_[e]);
            if (d != 0 && direction != 0 && d != direction) break;
            if (d != 0) direction = d;
        }
        if (direction != 0) {
            Chain chain{first, e - 1, direction > 0 ? first : e - 1, direction > 0, 0, 0, 0, 0, 0, 0, 0, 0};
            loadEdge(chain);
            chains_.push_back(chain);
        }
    }
}

namespace {

// ceil(x - 0.5) clamped to 0..n, without a rounding instruction (baseline
// x86-64 has none) and without converting out-of-range values: the first
// canvas column (or row) whose centre lies at or beyond x.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline int32_t
columnAt(double x, int n) {
    const double v = std::clamp(x - 0.5, -1.0, static_cast<double>(n));
    auto c = static_cast<int32_t>(v);
    c += c < v;
    return std::max(c, 0);
}

// The column of a crossing t below the top of an edge. The slope replaces
// a division per row; only when the estimate lies within its error of a
// column boundary, or the edge lies so far out that its error could reach
// a quarter column, is the crossing computed as written.
inline int32_t crossingColumn(double xTop, double slope, double dx, double dy, double tolerance, double t, int n) {
    const double v = xTop + t * slope - 0.5;
    if (tolerance < 0.25) {
        if (v + tolerance <= 0.0) return 0;
        if (v - tolerance > n - 1) return n;
        // Here -0.25 < v <= n - 0.75: the conversion is in range.
        const auto whole = static_cast<int32_t>(v);
        const double fraction = v - whole;
        if (fraction > tolerance && fraction <= 1.0 - tolerance) return whole + 1;
    }
    return columnAt(t * dx / dy + xTop, n);
}

}  // namespace

void SectorPolygon::loadEdge(Chain& chain) const {
    if (chain.cursor < chain.first || chain.cursor > chain.last) {
        chain.rowFirst = chain.rowEnd = n_;
        return;
    }
    const int32_t top = chain.down ? chain.cursor : chain.cursor + 1;
    const int32_t bottom = chain.down ? chain.cursor + 1 : chain.cursor;
    chain.yTop = vy_[top];
    chain.xTop = vx_[top];
    chain.dx = vx_[bottom] - chain.xTop;
    chain.dy = vy_[bottom] - chain.yTop;
    // Row centres are exact in doubles and so is y - 0.5 for any canvas
    // coordinate (far below 2^52): yTop <= row + 0.5 < yBot holds exactly
    // for the rows from ceil(yTop - 0.5) to ceil(yBot - 0.5) - 1.
    chain.rowFirst = columnAt(chain.yTop, n_);
    chain.rowEnd = chain.dy >= kMinEdgeHeight ? columnAt(vy_[bottom], n_) : chain.rowFirst;
    chain.slope = chain.dy >= kMinEdgeHeight ? chain.dx / chain.dy : 0.0;
    // Bounds the difference between the estimate xTop + t * slope, less
    // 0.5, and the crossing as computed by (t * dx) / dy + xTop, less 0.5:
    // with t below dy, each lies within about 3u|dx| + u|xTop| of the exact
    // value (u = 2^-53), and the subtraction adds u|x|; together under
    // 1.6e-15 (|dx| + |xTop| + 1). The tolerance is more than twice that.
    chain.tolerance = (std::fabs(chain.dx) + std::fabs(chain.xTop) + 1.0) * 4e-15;
}

template <int SS>
bool SectorPolygon::wholeBandColumns(const Chain& chain, int row0, int32_t* column) const {
    if (chain.rowFirst > row0 || chain.rowEnd < row0 + SS || !(chain.tolerance < 0.25)) return false;
    // Every row's column is taken from the estimate without a branch, then
    // all are checked at once: ceil(v) is the column unless v lies within
    // the tolerance of an integer (see crossingColumn and loadEdge).
    bool sure = true;
    const double yc0 = row0 + 0.5;
    const double xHalf = chain.xTop - 0.5;  // exact, as for y
    const double high = n_ - 1.0;
#pragma GCC unroll 8
    for (int j = 0; j < SS; ++j) {
        const double v = xHalf + ((yc0 + j) - chain.yTop) * chain.slope;
        const auto whole = static_cast<int32_t>(std::min(std::max(v, 0.0), high));
        const double fraction = v - whole;
        sure &= (fraction > chain.tolerance) & (fraction <= 1.0 - chain.tolerance);
        column[j] = whole + 1;
    }
    return sure;
}

template <int SS>
bool SectorPolygon::bandRun(int row0, int32_t* starts, int32_t* ends) const {
    const int end = row0 + SS;
    const Chain* crossing[2];
    int count = 0;
    for (const Chain& chain : chains_) {
        if (chain.rowFirst >= end) continue;  // not begun yet, or ended
        if (count == 2) return false;
        crossing[count++] = &chain;
    }
    if (count != 2) return false;
    const Chain& a = *crossing[0];
    const Chain& b = *crossing[1];
    if (a.rowFirst > row0 || a.rowEnd < end || b.rowFirst > row0 || b.rowEnd < end || !(a.tolerance < 0.25) ||
        !(b.tolerance < 0.25))
        return false;
    // Both edges at once, one in each lane, as wholeBandColumns does for one.
    typedef double Doubles __attribute__((vector_size(16)));
    typedef int64_t Longs __attribute__((vector_size(16)));
    typedef int32_t Ints __attribute__((vector_size(8)));
    const Doubles yTop = {a.yTop, b.yTop};
    const Doubles xHalf = Doubles{a.xTop, b.xTop} - 0.5;  // exact, as for y
    const Doubles slope = {a.slope, b.slope};
    const Doubles low = {a.tolerance, b.tolerance};
    const Doubles high = 1.0 - low;
    const Doubles zero = {0.0, 0.0};
    const Doubles last = zero + (n_ - 1.0);
    Longs sure = {-1, -1};
    const double yc0 = row0 + 0.5;
#pragma GCC unroll 8
    for (int j = 0; j < SS; ++j) {
        const Doubles v = xHalf + ((yc0 + j) - yTop) * slope;
        const Doubles clamped = v < zero ? zero : (v > last ? last : v);
        const Ints whole = __builtin_convertvector(clamped, Ints);
        const Doubles fraction = v - __builtin_convertvector(whole, Doubles);
        sure &= (fraction > low) & (fraction <= high);
        starts[j] = std::min(whole[0], whole[1]) + 1;
        ends[j] = std::max(whole[0], whole[1]) + 1;
    }
    return (sure[0] & sure[1]) != 0;
}

template <int SS>
void SectorPolygon::bandColumns(int row0, int32_t* columns, int32_t* counts) {
    // Counted here rather than through `counts`, which the compiler would
    // have to assume might overlap `columns`; with SS fixed they stay in
    // registers.
    int32_t found[SS] = {};
    const size_t stride = chains_.size();
    const int end = row0 + SS;
    // Chain by chain, and within a chain edge by edge, so that the loop
    // over an edge's rows in the band is plain arithmetic.
    for (Chain& stored : chains_) {
        if (stored.rowFirst >= end) continue;  // not begun yet, or ended
        int32_t column[SS];
        if (stored.rowFirst <= row0 && stored.rowEnd >= end) {
            // One edge crosses the whole band: its estimates, or where one
            // is unsure, which is rare, every row done with care.
            if (!wholeBandColumns<SS>(stored, row0, column)) {
                for (int j = 0; j < SS; ++j)
                    column[j] = crossingColumn(stored.xTop, stored.slope, stored.dx, stored.dy, stored.tolerance,
                                               (row0 + j + 0.5) - stored.yTop, n_);
            }
#pragma GCC unroll 8
            for (int j = 0; j < SS; ++j)
                columns[static_cast<size_t>(j) * stride + static_cast<size_t>(found[j]++)] = column[j];
            continue;
        }
        Chain chain = stored;
        int row = row0;
        for (;;) {
            while (row >= chain.rowEnd) {
                chain.cursor += chain.down ? 1 : -1;
                loadEdge(chain);
            }
            // An edge under 1e-9 high ends where it begins: the loop below
            // skips it and the next round moves past it.
            row = std::max(row, chain.rowFirst);
            const int stop = std::min(end, chain.rowEnd);
            double yc = row + 0.5;
            for (; row < stop; ++row, yc += 1.0) {
                const int j = row - row0;
                columns[static_cast<size_t>(j) * stride + static_cast<size_t>(found[j]++)] =
                    crossingColumn(chain.xTop, chain.slope, chain.dx, chain.dy, chain.tolerance, yc - chain.yTop, n_);
            }
            if (row >= end) break;
        }
        stored = chain;
    }
    for (int j = 0; j < SS; ++j)
        counts[j] = found[j];
}

template bool SectorPolygon::bandRun<1>(int, int32_t*, int32_t*) const;
template bool SectorPolygon::bandRun<2>(int, int32_t*, int32_t*) const;
template bool SectorPolygon::bandRun<3>(int, int32_t*, int32_t*) const;
template bool SectorPolygon::bandRun<4>(int, int32_t*, int32_t*) const;
template bool SectorPolygon::bandRun<5>(int, int32_t*, int32_t*) const;
template bool SectorPolygon::bandRun<6>(int, int32_t*, int32_t*) const;
template void SectorPolygon::bandColumns<1>(int, int32_t*, int32_t*);
template void SectorPolygon::bandColumns<2>(int, int32_t*, int32_t*);
template void SectorPolygon::bandColumns<3>(int, int32_t*, int32_t*);
template void SectorPolygon::bandColumns<4>(int, int32_t*, int32_t*);
template void SectorPolygon::bandColumns<5>(int, int32_t*, int32_t*);
template void SectorPolygon::bandColumns<6>(int, int32_t*, int32_t*);

}  // namespace fan
