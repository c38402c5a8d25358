// The ring rasteriser: every pixel away from an edge takes the colour of the last sector over it, any row
// range is those rows of the whole image, and malformed input paints nothing.
#include "core/ring_raster.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
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
}

}  // namespace
}  // namespace fan
