// The map's geometry for a widget box (radius, hole and image side at the
// edges of their rules, the raster cap, the list's rows and scroll) and the
// resampling of its image; the map itself in a real window driven by real
// events: hover over sectors, groups and rows, the wheel, clicks, the cached
// ring image's colours, the centre volume ring, and an image drawn larger
// than its raster.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "core/tree_builder.h"
#include "fake_map_host.h"
#include "ui/image_resample.h"
#include "ui/map_colours.h"
#include "ui/map_geometry.h"
#include "ui/map_image.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using namespace fan::testing;
using Point = std::pair<int, int>;

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
        // The image's middle, the centre, lies within half a pixel of the ring area's.
        EXPECT_NEAR(p.centerX, (10 + listLeftFor(10, c.w)) / 2.0, 0.5);
        EXPECT_NEAR(p.centerY, (2 * 20 + c.h - 70) / 2.0, 0.5);
    }
}

TEST(MapGeometry, RasterIsTheDeviceSizeUpToTheCap) {
    for (const auto& [side, scale, raster] :
         {std::tuple{600, 1.0, 600}, {600, 0.75, 600}, {600, 1.5, 900}, {600, 2.0, 1024}, {1110, 1.0, 1024}})
        EXPECT_EQ(rasterSideFor(side, scale), raster) << side << " at " << scale;
}

TEST(MapGeometry, ListRowsAndScroll) {
    EXPECT_EQ(listRowsFor(295), 0);  // 61 pixels: not one row
    EXPECT_EQ(listRowsFor(296), 1);
    EXPECT_EQ(listRowsFor(854), 10);
    const struct {
        int scroll;
        uint64_t count;
        int rows, clamped;
    } cases[] = {{-5, 40, 10, 0}, {17, 40, 10, 17}, {31, 40, 10, 30}, {5, 10, 10, 0}, {5, 3, 10, 0}, {9, 40, 0, 9}};
    for (const auto& c : cases)
        EXPECT_EQ(clampListScroll(c.scroll, c.count, c.rows), c.clamped) << c.scroll;
}

// Pixel centres map onto pixel centres: black | white doubled is a ramp
// that starts and ends on the source colours, within bilinear rounding.
TEST(ImageResample, CentresMapOntoCentres) {
    const uint32_t source[2 * 2] = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF};
    uint32_t target[4 * 4] = {};
    resampleSquare(source, 2, target, 4);
    const int expected[4] = {0, 64, 191, 255};
    for (int x = 0; x < 4; ++x)
        EXPECT_NEAR(int(target[12 + x] & 0xFF), expected[x], 1) << "column " << x;
}

TEST(ImageResample, ChangedRowsAreFound) {
    const RowSpan rows = resampledRows(4, 8, 2, 3);  // output rows 3 to 6 blend source row 2 in
    EXPECT_EQ(rows.begin, 3);
    EXPECT_EQ(rows.end, 7);
}

// root: alpha (700: two files, past 6 o'clock), beta (300: deep, 300; a name
// that is not UTF-8), then 30 files of its own: big.bin (150) and 29 of one
// byte, which share a ring-1 group.
class MapTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyPalette(true);
        alpha = b.folder(0, "alpha");
        b.file(alpha, "a1", 500);
        b.file(alpha, "a2", 200);
        b.file(b.folder(b.folder(0, "be\xFE\xFFta"), "deep"), "d1", 300);
        bigFile = b.file(0, "big.bin", 150);
        for (int i = 0; i < 29; ++i)
            b.file(0, "tiny" + std::to_string(i), 1);
        host.tree = &b.finish();
    }

    // The map filling a window of the given size, shown and drawn once, or
    // left unshown for the test to draw into a canvas.
    void open(int w, int h, bool show = true) {
        window = std::make_unique<Fl_Window>(0, 0, w, h);
        map = new Map(0, 0, w, h, &host);
        window->end();
        if (!show) return;
        window->show();
        settle();
    }
    Canvas draw() const {
        return Canvas(window->w(), window->h(), [&] { map->draw(); });
    }

    // The sector of a node, or of the root's group in the ring; a copy, as
    // every draw replaces the map's segments.
    RingSegment segment(uint64_t node, int ring = 0) const {
        for (const RingSegment& s : map->segments)
            if (s.node == node && s.isGroup == (node == 0) && s.ring == ring) return s;
        ADD_FAILURE() << "no segment for node " << node;
        return {};
    }
    Point polar(double radius, double angle) const {
        return {int(std::lround(map->centerX + std::sin(angle) * radius)),
                int(std::lround(map->centerY - std::cos(angle) * radius))};
    }
    Point middle(const RingSegment& s) const {
        return polar(map->holeRadius + (s.ring + 0.5) * map->ringWidth, (s.startAngle + s.endAngle) / 2);
    }
    Point hole() const { return {int(map->centerX), int(map->centerY)}; }
    void move(Point p) { sendMove(window.get(), p.first, p.second); }
    void click(Point p, int button = 1) { sendClick(window.get(), p.first, p.second, button); }
    static std::string at(const Canvas& c, Point p) { return c.hexAt(p.first, p.second); }

    TreeBuilder b;
    uint64_t alpha = 0, bigFile = 0;
    FakeMapHost host;
    std::unique_ptr<Fl_Window> window;
    Map* map = nullptr;
};

// Each hover brightens its own sector in the image and no other.
TEST_F(MapTest, HoverNamesAndBrightensTheSectorGroupOrRowAndRedrawsOnlyOnChange) {
    open(1120, 700);
    const uint64_t beta = host.tree->nodes[0].children[1];
    const RingSegment sectors[] = {segment(alpha), segment(beta), segment(0), segment(0, 1)};
    const struct {
        const char* name;
        Point at;
        std::tuple<uint64_t, bool, uint64_t, uint64_t> hover;  // node, group, its bytes and count
        int lit;                                               // index in sectors
    } cases[] = {
        {"folder sector", middle(sectors[0]), {alpha, false, 0, 0}, 0},
        {"ring-0 group", middle(sectors[2]), {0, true, 179, 30}, 2},
        {"ring-1 group", middle(sectors[3]), {0, true, 29, 29}, 3},
        {"list row", {map->listLeft + 60, map->listTop + 92}, {beta, false, 0, 0}, 1},
        {"hole", hole(), {kNoNode, false, 0, 0}, -1},
    };
    for (const auto& c : cases) {
        move(c.at);
        EXPECT_EQ(std::tie(map->hoveredNode, map->hoveredIsGroup, map->hoveredGroupBytes, map->hoveredGroupCount),
                  c.hover)
            << c.name;
        Fl::flush();
        const Canvas image = draw();
        for (int i = 0; i < 4; ++i) {
            const Fl_Color plain = sectors[i].isGroup ? themeGreySector : sectorHue(int32_t(sectors[i].hue));
            EXPECT_EQ(at(image, middle(sectors[i])), hex(i == c.lit ? shadeColor(plain, 26) : plain)) << c.name << i;
        }
        move(c.at);
        EXPECT_EQ(map->damage(), 0) << c.name << ": redrawn without a change";
    }
    move(middle(sectors[0]));
    EXPECT_NE(map->damage(), 0);
}

TEST_F(MapTest, ListEndsAtItsLastWholeRowAndTheBottomStripNeverHits) {
    open(1120, 700);
    const int below = map->listTop + map->listRows * kListRowHeight;  // under the last whole row
    EXPECT_EQ(map->hitTest(map->listLeft + 60, below), kNoNode);
    EXPECT_NE(map->hitTest(map->listLeft + 60, below - 1), kNoNode);
    map->listRows = 50;  // as if the rows reached into the strip
    const int x = map->listLeft + 60;
    EXPECT_NE(map->hitTest(x, 700 - 97), kNoNode);
    EXPECT_EQ(map->hitTest(x, 700 - 96), kNoNode);
    const auto [ax, ay] = middle(segment(alpha));
    map->centerY += 700 - 97 - ay;  // the same point of the sector on the strip's edge
    EXPECT_EQ(map->hitTest(ax, 700 - 97), alpha);
    map->centerY += 1;
    EXPECT_EQ(map->hitTest(ax, 700 - 96), kNoNode);
}

TEST_F(MapTest, WheelKeepsTheListWithinItsRows) {
    b = TreeBuilder();
    for (int i = 0; i < 20; ++i)
        b.file(0, "f" + std::to_string(i), 100 + i);
    host.tree = &b.finish();
    open(1120, 740);
    ASSERT_EQ(map->listRows, 8);
    const int x = map->listLeft + 60, y = map->listTop + 10;
    for (const auto& [steps, scroll] : {Point{1, 3}, {2, 9}, {5, 12}, {1, 12}, {-3, 3}, {-2, 0}, {-1, 0}}) {
        move({x, y});
        Fl::e_dy = steps;
        sendEvent(window.get(), FL_MOUSEWHEEL, x, y);
        EXPECT_EQ(map->listScroll, scroll) << "after " << steps;
        EXPECT_EQ(map->hoveredNode, kNoNode);
        settle(0.02);
    }
    Fl::e_dy = 1;
    Fl::e_x = int(map->centerX);
    EXPECT_EQ(map->handle(FL_MOUSEWHEEL), 0) << "over the rings";
    Fl::e_x = x;
    host.tree = nullptr;
    EXPECT_EQ(map->handle(FL_MOUSEWHEEL), 0) << "without a result";
    EXPECT_EQ(map->listScroll, 0);
}

TEST_F(MapTest, ClicksOpenFoldersGoUpAndAskForTheMenu) {
    open(1120, 700);
    click(hole());
    EXPECT_TRUE(host.opened.empty()) << "the hole at the root opens nothing";
    const Point a = middle(segment(alpha));
    click(a);
    click(a, 3);
    move(middle(segment(0)));
    click(a, 3);  // a group is hovered: the current folder
    EXPECT_EQ(host.opened, std::vector<uint64_t>{alpha});
    EXPECT_EQ(host.menus, (std::vector<uint64_t>{alpha, 0}));
    host.current = alpha;
    map->resetCache();
    map->redraw();
    settle();
    click(hole());
    EXPECT_EQ(host.opened.back(), 0u) << "the hole elsewhere opens the parent";
}

// R = 553, side 1110: rasterised at 1024 and drawn resampled, so hover
// repaints must redo the resampled rows too.
TEST_F(MapTest, ImageWiderThanTheRasterCapKeepsTheCentreAndRepaintsLikeARebuild) {
    open(1500, 1400, false);
    const Canvas c = draw();
    ASSERT_EQ(map->cachedRasterSize, 1024);
    for (const uint64_t node : {alpha, uint64_t{0}}) {
        const Point p = middle(segment(node));
        EXPECT_EQ(map->hitTest(p.first, p.second), node);
        EXPECT_EQ(at(c, p), hex(node == 0 ? themeGreySector : sectorHue(int32_t(segment(node).hue))));
    }
    // The surface disc inside the centre band ends at hole - 15 in every
    // direction, so the image's middle is the stored centre.
    for (const double angle : {M_PI / 4, 3 * M_PI / 4, 5 * M_PI / 4, 7 * M_PI / 4}) {
        double r = 40;
        while (at(c, polar(r, angle)) == hex(themeSurface) && r < map->holeRadius)
            r += 0.5;
        EXPECT_NEAR(r, map->holeRadius - 15, 1.5) << "angle " << angle;
    }
    const auto pixels = [&] {
        draw();
        const auto& image = static_cast<const MapImage&>(*map->mapImage);
        return std::pair(map->mapPixels, std::vector<uint32_t>(image.drawnPixels(),
                                                               image.drawnPixels() + size_t(image.w()) * image.h()));
    };
    pixels();
    const std::tuple<uint64_t, bool, uint64_t, uint64_t> hovers[] = {
        {alpha, false, 0, 0}, {0, true, 29, 29}, {0, true, 179, 30}, {bigFile, false, 0, 0}, {kNoNode, false, 0, 0}};
    for (const auto& hover : hovers) {
        std::tie(map->hoveredNode, map->hoveredIsGroup, map->hoveredGroupBytes, map->hoveredGroupCount) = hover;
        const auto repainted = pixels();
        delete map->mapImage;
        map->mapImage = nullptr;
        EXPECT_TRUE(pixels() == repainted) << "hover on " << map->hoveredNode;
    }
}

TEST_F(MapTest, CentreRingShowsReserveFreeAndUsedSpace) {
    const Fl_Color reserve = sectorHue(2), freeSpace = themeFreeSpace, used = themeUsedSpace;
    const struct {
        bool known;
        uint64_t total, free, available;
        std::vector<std::pair<double, Fl_Color>> probes;  // the band's colour at a fraction of the turn
    } cases[] = {
        {true, 1000, 300, 200, {{0.05, reserve}, {0.15, freeSpace}, {0.25, freeSpace}, {0.35, used}, {0.95, used}}},
        {true, 1000, 300, 300, {{0.05, freeSpace}, {0.25, freeSpace}, {0.35, used}}},
        {true, 1000, 300, 0, {{0.05, reserve}, {0.25, reserve}, {0.35, used}}},
        {true, 100, 300, 300, {{0.25, freeSpace}, {0.95, freeSpace}}},  // more free than total
        {false, 1000, 300, 200, {{0.05, themeBorder}, {0.5, themeBorder}}},
    };
    open(1120, 700);
    for (const auto& c : cases) {
        MountEntry& volume = b.tree.rootVolume;
        std::tie(volume.spaceKnown, volume.totalBytes, volume.freeBytes, volume.availableBytes) =
            std::tie(c.known, c.total, c.free, c.available);
        map->resetCache();
        const Canvas canvas = draw();
        for (const auto& [turn, colour] : c.probes)
            EXPECT_EQ(at(canvas, polar(map->holeRadius - 10, turn * 2 * M_PI)), hex(colour))
                << c.total << " " << c.free << " " << c.available << " at " << turn;
    }
}

}  // namespace
}  // namespace fan
