// The ring rasteriser: byte for byte a plain whole-canvas rendering, every pixel away from an edge the
// colour of the last sector over it, any row range those rows of the whole image, and malformed input
// paints nothing.
#include "core/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

namespace fan {
namespace {

constexpr double kPi = 3.14159265358979323846;
using Rgb = std::array<uint8_t, 3>;
const Rgb kBackground{20, 30, 40};

RasterSegment sector(double inner, double outer, double start, double end, Rgb colour) {
    return {inner, outer, start, end, colour[0], colour[1], colour[2]};
}

// A ring, a pie reaching the centre, a sliver, and sectors over the ring
// across the top and the bottom of the turn.
const std::vector<RasterSegment> kSectors = {
    sector(30, 55, 0.0, 2 * kPi, {200, 0, 0}), sector(0, 25, 0.5, 2.0, {0, 200, 0}),
    sector(35, 50, 1.0, 1.05, {0, 0, 200}),    sector(10, 58, 5.5, 2 * kPi, {250, 250, 0}),
    sector(36, 54, 2.6, 3.7, {1, 2, 3}),
};

// The colour at the centre of pixel (x, y) of a 120 px image of kSectors
// from the geometry alone, the last sector on top; none within 1 px of an
// edge, where blending and the arcs' chords decide. Angles run clockwise from
// straight up, within [0, 2 pi).
std::optional<Rgb> colourAt(int x, int y) {
    const double dx = x + 0.5 - 60;
    const double dy = y + 0.5 - 60;
    const double r = std::hypot(dx, dy);
    const double t = std::fmod(std::atan2(dx, -dy) + 2 * kPi, 2 * kPi);
    const double turn = 1 / std::max(r, 1.0);  // 1 px as an angle at this radius
    std::optional<Rgb> colour = kBackground;
    for (const RasterSegment& s : kSectors) {
        const bool nearOrIn =
            r >= s.innerRadius - 1 && r < s.outerRadius + 1 && t >= s.startAngle - turn && t < s.endAngle + turn;
        const bool wellIn =
            r >= s.innerRadius + 1 && r < s.outerRadius - 1 && t >= s.startAngle + turn && t < s.endAngle - turn;
        if (wellIn)
            colour = Rgb{s.red, s.green, s.blue};
        else if (nearOrIn)
            colour.reset();
    }
    return colour;
}

// The straightforward rendering: the whole canvas at once, every edge of
// every polygon walked over its rows, the rows' crossings sorted and filled
// by the even-odd rule, then a box filter rounded half up. Written from the
// description of the output, not from the banded implementation.
std::vector<uint8_t> referenceRaster(int size, double centre, Rgb background,
                                     const std::vector<RasterSegment>& segments, int supersample) {
    const int ss = std::clamp(supersample, 1, 6);
    const int n = size * ss;
    std::vector<uint8_t> canvas(static_cast<size_t>(n) * n * 3);
    for (size_t i = 0; i < canvas.size(); ++i)
        canvas[i] = background[i % 3];
    const double limit = 1e12;
    const bool centreUsable = std::isfinite(centre) && std::fabs(centre) <= 2 * limit;
    for (const RasterSegment& s : segments) {
        const bool anglesUsable = std::isfinite(s.startAngle) && std::isfinite(s.endAngle) &&
                                  std::fabs(s.startAngle) <= limit && std::fabs(s.endAngle) <= limit;
        if (!centreUsable || !anglesUsable || !std::isfinite(s.innerRadius) || !std::isfinite(s.outerRadius)) continue;
        const double inner = std::clamp(s.innerRadius, -limit, limit);
        const double outer = std::clamp(s.outerRadius, -limit, limit);
        if (!(inner < outer) || !(s.startAngle < s.endAngle)) continue;
        const double sweep = s.endAngle - s.startAngle;
        const double pieces = std::ceil(sweep / (2 * std::acos(1.0 - 0.08 / std::max(0.08, outer))));
        const int k = pieces <= 65536 ? std::max(2, static_cast<int>(pieces)) : 65536;
        std::vector<double> px;  // the outer arc forward, then the inner arc back
        std::vector<double> py;
        for (int i = 0; i <= 2 * k + 1; ++i) {
            const double r = i <= k ? outer : inner;
            const double t = s.startAngle + static_cast<double>(i <= k ? i : 2 * k + 1 - i) * sweep / k;
            px.push_back((centre + r * std::sin(t)) * ss);
            py.push_back((centre - r * std::cos(t)) * ss);
        }
        std::vector<std::vector<double>> crossings(n);
        for (size_t i = 0; i < px.size(); ++i) {
            const size_t j = (i + 1) % px.size();
            const size_t top = py[i] <= py[j] ? i : j;
            const size_t bottom = top == i ? j : i;
            const double height = py[bottom] - py[top];
            if (height < 1e-9) continue;
            // Rows whose centre lies on the upper end or below it, and above the lower end.
            const double lastRow = std::min(n - 1.0, std::ceil(py[bottom] - 0.5) - 1);
            for (double row = std::max(0.0, std::ceil(py[top] - 0.5)); row <= lastRow; ++row)
                crossings[static_cast<size_t>(row)].push_back((row + 0.5 - py[top]) * (px[bottom] - px[top]) / height +
                                                              px[top]);
        }
        for (int row = 0; row < n; ++row) {
            std::vector<double>& list = crossings[row];
            std::sort(list.begin(), list.end());
            for (size_t i = 0; i + 1 < list.size(); i += 2) {
                const double lastColumn = std::min(n - 1.0, std::ceil(list[i + 1] - 0.5) - 1);
                for (double column = std::max(0.0, std::ceil(list[i] - 0.5)); column <= lastColumn; ++column) {
                    uint8_t* p = &canvas[(static_cast<size_t>(row) * n + static_cast<size_t>(column)) * 3];
                    p[0] = s.red;
                    p[1] = s.green;
                    p[2] = s.blue;
                }
            }
        }
    }
    std::vector<uint8_t> out(static_cast<size_t>(size) * size * 3);
    for (size_t i = 0; i < out.size(); ++i) {
        const size_t x = i / 3 % size;
        const size_t y = i / 3 / size;
        int sum = 0;
        for (int dy = 0; dy < ss; ++dy)
            for (int dx = 0; dx < ss; ++dx)
                sum += canvas[((y * ss + dy) * n + x * ss + dx) * 3 + i % 3];
        out[i] = static_cast<uint8_t>((sum + ss * ss / 2) / (ss * ss));
    }
    return out;
}

// Arbitrary sectors: pies, sweeps past a full turn, slivers, negative and
// huge radii, angles far from [0, 2 pi], and now and then a malformed one.
RasterSegment randomSector(std::mt19937_64& random, int size) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double scale = size * (unit(random) < 0.1 ? 20.0 : 0.8);
    double inner = unit(random) < 0.3 ? 0.0 : unit(random) * scale - (unit(random) < 0.1 ? scale * 0.5 : 0.0);
    double outer = inner + unit(random) * scale;
    double start = (unit(random) - 0.5) * (unit(random) < 0.1 ? 100.0 : 8.0);
    const double pick = unit(random);
    double end = start + (pick < 0.2 ? unit(random) * 1e-3 : pick < 0.9 ? unit(random) * 2 * kPi : unit(random) * 20.0);
    const double odd = unit(random);
    const double inf = std::numeric_limits<double>::infinity();
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
        start = -1e13;
    else if (odd < 0.11)
        inner = -inf;
    const auto channel = [&] { return static_cast<uint8_t>(unit(random) * 256); };
    return {inner, outer, start, end, channel(), channel(), channel()};
}

// The first pixel where two images differ, as "x, y channel c", or "none".
std::string firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int size) {
    if (a.size() != b.size()) return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    const size_t i = static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
    if (i == a.size()) return "none";
    return std::to_string(i / 3 % size) + ", " + std::to_string(i / 3 / size) + " channel " + std::to_string(i % 3);
}

std::string text(Rgb colour) {
    return std::to_string(colour[0]) + " " + std::to_string(colour[1]) + " " + std::to_string(colour[2]);
}

TEST(RingRaster, PixelsAwayFromEdgesTakeTheColourOfTheLastSectorOverThem) {
    for (int supersample : {1, 4}) {
        SCOPED_TRACE("supersample " + std::to_string(supersample));
        const auto image = rasterizeRings(120, 60.0, kBackground, kSectors, supersample);
        int decided = 0;
        for (int y = 0; y < 120 && !HasFailure(); ++y)
            for (int x = 0; x < 120; ++x) {
                const std::optional<Rgb> expected = colourAt(x, y);
                if (!expected) continue;
                ++decided;
                const uint8_t* p = &image[(y * 120u + x) * 3];
                EXPECT_EQ(text({p[0], p[1], p[2]}), text(*expected)) << "pixel " << x << ", " << y;
            }
        EXPECT_GT(decided, 120 * 120 / 2);  // most of the image is checked
    }
}

TEST(RingRaster, RandomSectorListsMatchAPlainRenderingByteForByte) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int painted = 0;
    for (int round = 0; round < 220 && !HasFailure(); ++round) {
        // The smallest sizes first: their centres and pies' tips fall on canvas row centres.
        const int size = round < 6 ? 1 + round : 1 + static_cast<int>(unit(random) * 120);
        const int supersample = static_cast<int>(unit(random) * 11) - 1;  // -1 to 9, clamped
        const double centre = unit(random) < 0.8 ? size * 0.5 : (unit(random) - 0.5) * size * 3;
        std::vector<RasterSegment> segments(static_cast<size_t>(unit(random) * 40));
        for (RasterSegment& segment : segments)
            segment = randomSector(random, size);
        const Rgb background{static_cast<uint8_t>(round), 17, 200};
        SCOPED_TRACE("round " + std::to_string(round) + ", size " + std::to_string(size) + ", supersample " +
                     std::to_string(supersample));
        const auto image = rasterizeRings(size, centre, background, segments, supersample);
        EXPECT_EQ(firstDifference(image, referenceRaster(size, centre, background, segments, supersample), size),
                  "none");
        painted += image != rasterizeRings(size, centre, background, {}, supersample);
    }
    EXPECT_GT(painted, 150);  // the comparison is not one of blank images
}

TEST(RingRaster, PalettesEitherSideOfTwoByteSamplesMatchAPlainRendering) {
    // Samples are palette indices: two bytes while the distinct colours
    // leave one index free, four beyond. Every colour distinct, the sectors
    // small enough that thousands of them show.
    for (const int colours : {65535, 65536}) {
        SCOPED_TRACE(std::to_string(colours) + " colours");
        std::mt19937_64 random(static_cast<uint64_t>(colours));
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<RasterSegment> segments;
        for (int i = 1; i < colours; ++i) {  // the background is the first colour
            const double start = unit(random) * 2 * kPi;
            const double inner = unit(random) * 10;
            segments.push_back(sector(inner, inner + 0.5 + unit(random) * 3, start, start + 0.05 + unit(random) * 0.4,
                                      {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16)}));
        }
        EXPECT_EQ(firstDifference(rasterizeRings(24, 12.0, {0, 0, 0}, segments, 2),
                                  referenceRaster(24, 12.0, {0, 0, 0}, segments, 2), 24),
                  "none");
    }
}

TEST(RingRaster, AnyRowRangeIsThoseRowsOfTheWholeImage) {
    const int line = 120 * 3;
    const struct {
        int begin;
        int end;
        int firstRow;  // the rows that come back
        int endRow;
    } cases[] = {{0, 120, 0, 120}, {37, 80, 37, 80}, {-20, 5, 0, 5}, {110, 400, 110, 120}, {90, 60, 0, 0}};
    for (int supersample : {5, 2}) {
        const auto whole = rasterizeRings(120, 60.0, kBackground, kSectors, supersample);
        for (const auto& c : cases) {
            SCOPED_TRACE("rows " + std::to_string(c.begin) + " to " + std::to_string(c.end) + " at supersample " +
                         std::to_string(supersample));
            EXPECT_TRUE(rasterizeRingRows(120, 60.0, kBackground, kSectors, supersample, c.begin, c.end) ==
                        std::vector<uint8_t>(whole.begin() + c.firstRow * line, whole.begin() + c.endRow * line));
        }
    }
}

TEST(RingRaster, MalformedInputPaintsNothingOrIsRefused) {
    const Rgb red{255, 0, 0};
    const struct {
        const char* name;
        RasterSegment sector;
        double centre;
    } rows[] = {
        {"no thickness", sector(20, 20, 0, 1, red), 30},
        {"reversed sweep", sector(0, 20, 2, 1, red), 30},
        {"not a number", sector(0, std::nan(""), 0, 1, red), 30},
        {"angles beyond any sector's", sector(0, 20, -1e13, 1, red), 30},
        {"centre not a number", sector(0, 20, 0, 1, red), std::nan("")},
        {"centre beyond any clamped radius", sector(0, 1e15, 0, 2 * kPi, red), 3e12},
    };
    const auto blank = rasterizeRings(60, 30, kBackground, {}, 3);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(rasterizeRings(60, row.centre, kBackground, {row.sector}, 3) == blank);
    }
    // A huge radius is clamped, in a bounded number of vertices, and covers the image.
    EXPECT_TRUE(rasterizeRings(60, 30, kBackground, {sector(0, 1e15, 0, 2 * kPi, red)}, 3) ==
                rasterizeRings(60, 30, kBackground, {sector(0, 100, 0, 2 * kPi, red)}, 3));
    EXPECT_THROW(rasterizeRings(0, 0, kBackground, {}, 3), std::invalid_argument);
    EXPECT_THROW(rasterizeRings(1537, 768, kBackground, {}, 3), std::invalid_argument);
    EXPECT_EQ(rasterizeRings(1536, 768, kBackground, {}, 1).size(), 1536u * 1536 * 3);  // the largest accepted
}

}  // namespace
}  // namespace fan
