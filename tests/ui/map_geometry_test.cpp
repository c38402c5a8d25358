// The map's geometry for a widget box: radius, hole and image side at the
// edges of their rules, the raster cap, and the list's rows and scroll.
#include <gtest/gtest.h>

#include "ui/map_geometry.h"

namespace fan {
namespace {

TEST(MapGeometry, RadiusHoleAndSideFollowTheBox) {
    const struct {
        int w, h;
        double radius, hole;
        int side;
    } cases[] = {
        {1120, 780, 257.0, 77.1, 518},  // the main window's map: height decides
        {994, 866, 300.0, 90.0, 604},   // width decides
        {700, 500, 117.0, 68.0, 238},   // 0.3 R below 68
        {500, 400, 90.0, 68.0, 184},    // R would be 53: the floor
    };
    for (const auto& c : cases) {
        const RingPlacement p = placeRings(10, 20, c.w, c.h, 0.3, 68.0);
        EXPECT_DOUBLE_EQ(p.radius, c.radius) << c.w << "x" << c.h;
        EXPECT_NEAR(p.hole, c.hole, 1e-9);
        EXPECT_EQ(p.side, c.side);
        // The image's middle is the centre, within half a pixel of the ring area's.
        EXPECT_DOUBLE_EQ(p.centerX, p.originX + p.side / 2.0);
        EXPECT_NEAR(p.centerX, (10 + listLeftFor(10, c.w)) / 2.0, 0.5);
        EXPECT_NEAR(p.centerY, (2 * 20 + c.h - 70) / 2.0, 0.5);
    }
}

TEST(MapGeometry, RasterIsTheDeviceSizeUpToTheCap) {
    EXPECT_EQ(rasterSideFor(600, 1.0), 600);
    EXPECT_EQ(rasterSideFor(600, 0.75), 600);
    EXPECT_EQ(rasterSideFor(600, 1.5), 900);
    EXPECT_EQ(rasterSideFor(600, 2.0), 1024);
    EXPECT_EQ(rasterSideFor(1110, 1.0), 1024);
}

TEST(MapGeometry, ListRowsAndScroll) {
    EXPECT_EQ(listRowsFor(295), 0);  // 61 pixels: not one row
    EXPECT_EQ(listRowsFor(296), 1);
    EXPECT_EQ(listRowsFor(854), 10);
    const struct { int scroll; uint64_t count; int rows, clamped; } cases[] = {
        {-5, 40, 10, 0}, {17, 40, 10, 17}, {31, 40, 10, 30}, {5, 10, 10, 0}, {5, 3, 10, 0}, {9, 40, 0, 9}};
    for (const auto& c : cases) EXPECT_EQ(clampListScroll(c.scroll, c.count, c.rows), c.clamped) << c.scroll;
}

}  // namespace
}  // namespace fan
