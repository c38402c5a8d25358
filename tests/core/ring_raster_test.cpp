// The ring rasteriser: exact agreement with a plain whole-canvas rendering,
// the documented clamps and rejections, and pixel properties of simple shapes.
#include "core/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

namespace fan {
namespace {

constexpr double kPi = 3.14159265358979323846;
using Rgb = std::array<uint8_t, 3>;

// The straightforward rendering: the whole canvas at once, every edge of
// every polygon walked over its rows, the rows' crossings sorted and filled,
// then a box filter. Written from the description of the output, not from
// the banded implementation, and with the same input checks.
std::vector<uint8_t> referenceRaster(int size, double centre, Rgb background,
                                     const std::vector<RasterSegment>& segments, int supersample) {
    if (size < 1 || size > 1536) throw std::invalid_argument("Invalid chart size");
    const int ss = std::clamp(supersample, 1, 6), n = size * ss;
    std::vector<uint8_t> canvas(static_cast<size_t>(n) * n * 3);
    for (size_t i = 0; i < canvas.size(); ++i)
        canvas[i] = background[i % 3];
    std::vector<std::vector<double>> rows(n);
    const double limit = 1e12;
    const bool centreUsable = std::isfinite(centre) && std::fabs(centre) <= 2 * limit;
    for (const RasterSegment& s : segments) {
        if (!centreUsable) break;
        if (!std::isfinite(s.innerRadius) || !std::isfinite(s.outerRadius) || !std::isfinite(s.startAngle) ||
            !std::isfinite(s.endAngle) || std::fabs(s.startAngle) > limit || std::fabs(s.endAngle) > limit)
            continue;
        const double inner = std::clamp(s.innerRadius, -limit, limit);
        const double outer = std::clamp(s.outerRadius, -limit, limit);
        if (!(inner < outer) || !(s.startAngle < s.endAngle)) continue;
        const double sweep = s.endAngle - s.startAngle;
        const double pieces = std::ceil(sweep / (2 * std::acos(1.0 - 0.08 / std::max(0.08, outer))));
        const int k = pieces <= 65536 ? std::max(2, static_cast<int>(pieces)) : 65536;
        std::vector<double> px, py;  // the outer arc forward, then the inner arc back
        for (int i = 0; i <= 2 * k + 1; ++i) {
            const double r = i <= k ? outer : inner;
            const double t = s.startAngle + static_cast<double>(i <= k ? i : 2 * k + 1 - i) * sweep / k;
            px.push_back((centre + r * std::sin(t)) * ss);
            py.push_back((centre - r * std::cos(t)) * ss);
        }
        int lowest = n, highest = -1;
        for (size_t i = 0; i < px.size(); ++i) {
            const size_t j = (i + 1) % px.size();
            const size_t top = py[i] <= py[j] ? i : j, bottom = top == i ? j : i;
            const double yTop = py[top], xTop = px[top], yBot = py[bottom], xBot = px[bottom];
            if (yBot - yTop < 1e-9) continue;
            const double to = std::min(n - 1.0, std::ceil(yBot - 0.5) - 1);
            for (double row = std::max(0.0, std::ceil(yTop - 0.5)); row <= to; ++row) {
                const int r = static_cast<int>(row);
                rows[r].push_back((row + 0.5 - yTop) * (xBot - xTop) / (yBot - yTop) + xTop);
                lowest = std::min(lowest, r);
                highest = std::max(highest, r);
            }
        }
        for (int r = lowest; r <= highest; ++r) {  // even-odd fill of each row
            std::vector<double>& list = rows[r];
            std::sort(list.begin(), list.end());
            for (size_t i = 0; i + 1 < list.size(); i += 2) {
                const double c1 = std::min(n - 1.0, std::ceil(list[i + 1] - 0.5) - 1);
                for (double c = std::max(0.0, std::ceil(list[i] - 0.5)); c <= c1; ++c) {
                    uint8_t* p = &canvas[(static_cast<size_t>(r) * n + static_cast<size_t>(c)) * 3];
                    p[0] = s.red;
                    p[1] = s.green;
                    p[2] = s.blue;
                }
            }
            list.clear();
        }
    }
    std::vector<uint8_t> out(static_cast<size_t>(size) * size * 3);
    for (size_t i = 0; i < out.size(); ++i) {  // box filter, rounded half up
        const size_t x = i / 3 % size, y = i / 3 / size;
        int sum = 0;
        for (int dy = 0; dy < ss; ++dy)
            for (int dx = 0; dx < ss; ++dx)
                sum += canvas[((y * ss + dy) * n + x * ss + dx) * 3 + i % 3];
        out[i] = static_cast<uint8_t>((sum + ss * ss / 2) / (ss * ss));
    }
    return out;
}

RasterSegment sector(double inner, double outer, double start, double end, Rgb colour) {
    return {inner, outer, start, end, colour[0], colour[1], colour[2]};
}

// Names the first differing pixel, for a readable failure.
void expectSameAsReference(int size, double centre, Rgb background, const std::vector<RasterSegment>& segments,
                           int supersample, const std::string& context) {
    const auto fast = rasterizeRings(size, centre, background, segments, supersample);
    const auto plain = referenceRaster(size, centre, background, segments, supersample);
    ASSERT_EQ(fast.size(), plain.size());
    const size_t i = static_cast<size_t>(std::mismatch(fast.begin(), fast.end(), plain.begin()).first - fast.begin());
    EXPECT_EQ(i, fast.size()) << context << " size " << size << " ss " << supersample << " centre " << centre
                              << " sectors " << segments.size() << ": first difference at pixel (" << i / 3 % size
                              << ", " << i / 3 / size << ") channel " << i % 3;
}

// Arbitrary sectors: pies, sweeps past a full turn, slivers, negative and
// huge radii, angles far from [0, 2*pi], and now and then a malformed one.
RasterSegment randomSector(std::mt19937_64& random, int size) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double scale = size * (unit(random) < 0.1 ? 20.0 : 0.8);
    double inner = unit(random) < 0.3 ? 0.0 : unit(random) * scale - (unit(random) < 0.1 ? scale * 0.5 : 0.0);
    double outer = inner + unit(random) * scale;
    double start = (unit(random) - 0.5) * (unit(random) < 0.1 ? 100.0 : 8.0);
    const double pick = unit(random);
    double end = start + (pick < 0.2 ? unit(random) * 1e-3 : pick < 0.9 ? unit(random) * 2 * kPi : unit(random) * 20.0);
    const double odd = unit(random), inf = std::numeric_limits<double>::infinity();
    if (odd < 0.02)
        inner = outer;
    else if (odd < 0.04)
        end = start;
    else if (odd < 0.06)
        std::swap(start, end);
    else if (odd < 0.07)
        outer = std::numeric_limits<double>::quiet_NaN();
    else if (odd < 0.08)
        end = inf;
    else if (odd < 0.09)
        outer = 1e15;
    else if (odd < 0.10)
        start = -1e13;  // beyond the angles any sector may have
    else if (odd < 0.11)
        inner = -inf;
    auto channel = [&] { return static_cast<uint8_t>(unit(random) * 256); };
    return {inner, outer, start, end, channel(), channel(), channel()};
}

TEST(RingRasterReference, RandomSectorListsMatchByteForByte) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int painted = 0;
    for (int round = 0; round < 220 && !HasFailure(); ++round) {
        const int size = round < 6 ? 1 + round : 1 + static_cast<int>(unit(random) * 120);
        const int supersample = static_cast<int>(unit(random) * 11) - 1;  // -1 to 9
        double centre = unit(random) < 0.8 ? size * 0.5 : (unit(random) - 0.5) * size * 3;
        if (round % 50 == 49) centre = std::array<double, 4>{NAN, INFINITY, 3e12, -3e12}[round / 50];  // paints nothing
        std::vector<RasterSegment> segments(static_cast<size_t>(unit(random) * 40));
        for (RasterSegment& segment : segments)
            segment = randomSector(random, size);
        const Rgb background{static_cast<uint8_t>(round), 17, 200};
        expectSameAsReference(size, centre, background, segments, supersample, "round " + std::to_string(round));
        painted += rasterizeRings(size, centre, background, segments, supersample) !=
                   rasterizeRings(size, centre, background, {}, supersample);
    }
    EXPECT_GT(painted, 150);  // the comparison is not one of blank images
}

TEST(RingRasterRows, AnyRowRangeIsThoseRowsOfTheWholeImage) {
    std::mt19937_64 random(909);
    std::vector<RasterSegment> segments(40);
    for (RasterSegment& segment : segments)
        segment = randomSector(random, 300);
    const int line = 300 * 3;
    const struct {
        int begin;
        int end;
        int firstRow;  // the rows that come back
        int endRow;
    } cases[] = {{0, 300, 0, 300}, {0, 1, 0, 1},         {137, 180, 137, 180}, {299, 300, 299, 300},
                 {-20, 5, 0, 5},   {290, 400, 290, 300}, {150, 150, 0, 0},     {200, 100, 0, 0}};
    for (int supersample : {5, 2}) {
        const auto whole = rasterizeRings(300, 150, {22, 27, 34}, segments, supersample);
        for (const auto& c : cases)
            EXPECT_TRUE(rasterizeRingRows(300, 150, {22, 27, 34}, segments, supersample, c.begin, c.end) ==
                        std::vector<uint8_t>(whole.begin() + c.firstRow * line, whole.begin() + c.endRow * line))
                << "rows " << c.begin << " to " << c.end << " at supersample " << supersample;
    }
}

TEST(RingRasterReference, PalettesBeyondSixteenBitIndicesMatchByteForByte) {
    // Samples are held as palette indices: two bytes while the distinct
    // colours leave one index free, four bytes beyond that. Either side of
    // the boundary, with every colour distinct and sectors small enough
    // that thousands of them reach the image.
    for (const int colours : {65535, 65536}) {
        std::mt19937_64 random(static_cast<uint64_t>(colours));
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<RasterSegment> segments;
        for (int i = 1; i < colours; ++i) {  // the background is the first colour
            const double start = unit(random) * 2 * kPi, inner = unit(random) * 10;
            segments.push_back(sector(inner, inner + 0.5 + unit(random) * 3, start, start + 0.05 + unit(random) * 0.4,
                                      {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16)}));
        }
        expectSameAsReference(24, 12.0, {0, 0, 0}, segments, 2, std::to_string(colours) + " colours");
        // The last sectors painted show: the image is not one of a few colours only.
        const auto image = rasterizeRings(24, 12.0, {0, 0, 0}, segments, 2);
        std::set<uint32_t> seen;
        for (size_t i = 0; i < image.size(); i += 3)
            seen.insert(image[i] | image[i + 1] << 8 | image[i + 2] << 16);
        EXPECT_GT(seen.size(), 200u) << colours;
    }
}

}  // namespace
}  // namespace fan
