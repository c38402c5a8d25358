// The map's raster size for a widget box; the map itself in a real window
// driven by real events: hover on the screen, the wheel and clicks, and how
// the rings, the panel and the centre are drawn.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "core/tree_builder.h"
#include "map_fixture.h"
#include "texts/ui_texts.h"
#include "ui/draw_helpers.h"
#include "ui/map_colours.h"
#include "ui/map_geometry.h"
#include "ui/palette.h"

namespace fan {
namespace {

using namespace fan::testing;
using Point = std::pair<int, int>;
using Hover = std::tuple<uint64_t, bool, uint64_t, uint64_t>;  // node, group, the group's bytes and count

TEST(MapGeometry, RasterIsTheDeviceSizeUpToTheCap) {
    for (const auto& [side, scale, raster] : {std::tuple{600, 0.75, 600}, {600, 1.5, 900}, {1110, 1.0, 1024}})
        EXPECT_EQ(rasterSideFor(side, scale), raster) << side << " at " << scale;
}

// root: alpha (700: two files, past 6 o'clock), beta (300: deep, 300; a name
// that is not UTF-8), then 30 files of its own: big.bin (150) and 29 of one
// byte, which share a ring-1 group. In a 1120 x 700 window R is 217, the
// hole 68 and the list has 7 rows.
class MapTest : public MapFixture {
protected:
    void SetUp() override {
        MapFixture::SetUp();
        alpha = b.folder(0, "alpha");
        b.file(alpha, "a1", 500);
        b.file(alpha, "a2", 200);
        b.file(b.folder(b.folder(0, "be\xFE\xFFta"), "deep"), "d1", 300);
        b.file(0, "big.bin", 150);
        for (int i = 0; i < 29; ++i)
            b.file(0, "tiny" + std::to_string(i), 1);
        host.tree = &b.finish();
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
    // What the window shows, read back from the X server.
    std::string onScreen(Point p) const { return hex(screenPixel(window->x() + p.first, window->y() + p.second)); }

    TreeBuilder b;
    uint64_t alpha = 0;
};

// Each hover brightens its own sector and highlights its own list row in
// what the window shows, and no other.
TEST_F(MapTest, HoverBrightensItsSectorAndRowOnTheScreen) {
    open(1120, 700);
    const std::vector<uint64_t>& children = host.tree->nodes[0].children;
    const RingSegment sectors[] = {segment(alpha), segment(children[1]), segment(0), segment(0, 1)};
    const struct {
        const char* name;
        Point at;
        Hover hover;
        int lit;  // index in sectors
    } rows[] = {
        {"folder sector", middle(sectors[0]), {alpha, false, 0, 0}, 0},
        {"ring-0 group", middle(sectors[2]), {0, true, 179, 30}, 2},
        {"list row", {map->listLeft + 60, map->listTop + 92}, {children[1], false, 0, 0}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        move(row.at);
        Fl::flush();
        EXPECT_EQ(Hover(map->hoveredNode, map->hoveredIsGroup, map->hoveredGroupBytes, map->hoveredGroupCount),
                  row.hover);
        for (int i = 0; i < 4; ++i) {
            const Fl_Color plain = sectors[i].isGroup ? themeGreySector : sectorHue(int32_t(sectors[i].hue));
            EXPECT_EQ(onScreen(middle(sectors[i])), hex(i == row.lit ? shadeColor(plain, 26) : plain))
                << "sector " << i;
        }
        for (int r = 0; r < 2; ++r) {
            const bool lit = std::get<0>(row.hover) == children[size_t(r)];
            EXPECT_EQ(onScreen({map->listLeft + 20, map->listTop + 62 * r + 30}),
                      hex(lit ? themeControlHover : themeSurface))
                << "row " << r;
        }
    }
}

// The root's 32 children in 7 rows: the list scrolls from 0 to 25.
TEST_F(MapTest, WheelScrollsTheListWithinItsRows) {
    open(1120, 700);
    const Point overList{map->listLeft + 60, map->listTop + 10};
    for (const auto& [steps, scroll] : {Point{1, 3}, {9, 25}, {-9, 0}}) {
        move(overList);
        Fl::e_dy = steps;
        sendEvent(window.get(), FL_MOUSEWHEEL, overList.first, overList.second);
        EXPECT_EQ(map->listScroll, scroll) << "after " << steps;
        EXPECT_EQ(map->hoveredNode, kNoNode);
        Fl::flush();
    }
}

TEST_F(MapTest, LeftClickOpensTheFolderHitAndTheHoleGoesUp) {
    open(1120, 700);
    click(hole());
    EXPECT_TRUE(host.opened.empty()) << "the hole at the root opens nothing";
    click(middle(segment(alpha)));
    EXPECT_EQ(host.opened, std::vector<uint64_t>{alpha});
    host.current = alpha;
    map->resetCache();
    map->redraw();
    Fl::flush();
    click(hole());
    EXPECT_EQ(host.opened.back(), 0u) << "the hole elsewhere opens the parent";
}

TEST_F(MapTest, RightClickAsksForTheMenuOfTheNodeOrOverAGroupOfTheFolderShown) {
    open(1120, 700);
    const Point a = middle(segment(alpha));
    click(a, 3);
    move(middle(segment(0)));
    click(a, 3);  // a group is hovered
    EXPECT_EQ(host.menus, (std::vector<uint64_t>{alpha, 0}));
}

// Eight nested folders, all in the hue of the first slot: the outermost
// ring's middle at 6 o'clock, where the chain lies, has that hue, outer rings
// fading toward the background. Beside them "speck", 2.2 pixels wide at the
// outer radius.
TEST_F(MapTest, DetailChoiceSetsTheRingCountAndTheNarrowestSectorShown) {
    b = TreeBuilder();
    uint64_t folder = 0;
    for (int depth = 0; depth < 8; ++depth)
        folder = b.folder(folder, "level" + std::to_string(depth));
    b.file(folder, "bottom", 100000);
    const uint64_t speck = b.folder(0, "speck");
    b.file(speck, "s", 161);
    host.tree = &b.finish();
    open(1120, 700, false);
    const struct {
        const char* name;
        int detail;
        int rings;
        bool speckShown;
    } rows[] = {
        {"no selection: Overview", -1, 4, false},
        {"Normal", 1, 5, false},
        {"past the end: Detailed", 5, 6, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        host.detail = row.detail;
        map->resetCache();
        const Canvas c = draw();
        const float fade = 1.0f - 0.075f * float(row.rings - 1);
        const double radius = map->holeRadius + (217 - map->holeRadius) * (row.rings - 0.5) / row.rings;
        EXPECT_EQ(at(c, polar(radius, M_PI)), hex(fl_color_average(sectorHue(0), themeBackground, fade)));
        const auto isSpeck = [&](const RingSegment& s) { return s.node == speck; };
        EXPECT_EQ(std::any_of(map->segments.begin(), map->segments.end(), isSpeck), row.speckShown);
    }
}

// At full transparency a panel pixel left of the rings and a corner of the
// ring image, outside the circle, take the window's background.
TEST_F(MapTest, TransparencyFadesThePanelAndTheRingImageIntoTheWindow) {
    host.transparency = 100;
    open(1120, 700, false);
    const Canvas c = draw();
    EXPECT_EQ(c.hexAt(30, 315), hex(themeBackground)) << "panel";
    EXPECT_EQ(c.hexAt(180, 100), hex(themeBackground)) << "ring image";
}

// The centre drawn by the map against the rings drawn again with the
// expected value and label over them. The root's path is "root".
TEST_F(MapTest, CentreShowsTheCapacityOnlyAtTheMountPointOfAVolumeWithKnownSpace) {
    const struct {
        const char* name;
        const char* mountPoint;
        bool known;
        bool capacity;
    } rows[] = {
        {"at the mount point", "root/", true, true},
        {"space unknown", "root", false, false},
        {"below the mount point", ".", true, false},
    };
    open(1120, 700, false);
    const RingPlacement place = placeRings(0, 0, 1120, 700, 0.3, 68.0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MountEntry& volume = b.tree.rootVolume;
        volume.mountPoint = row.mountPoint;
        volume.spaceKnown = row.known;
        volume.totalBytes = 5000000;
        map->resetCache();
        const Canvas shown = draw();
        const std::string value = formatSize(row.capacity ? 5000000 : 1179, uiLanguage);
        const std::string label = uiText(row.capacity ? txtVolumeCapacity : txtInThisFolder);
        const int cx = int(map->centerX);
        const int cy = int(map->centerY);
        const Canvas expected(1120, 700, [&] {
            map->draw();
            map->mapImage->draw(place.originX, place.originY, place.side, place.side, 0, 0);
            drawTextAligned(value, cx - 68 + 14, cy - 26, 2 * 68 - 28, 32, 18, themeText, FL_ALIGN_CENTER);
            drawTextAligned(label, cx - 68 + 10, cy + 6, 2 * 68 - 20, 21, 11, themeTextDim, FL_ALIGN_CENTER);
        });
        EXPECT_TRUE(shown.sameAs(expected));
    }
}

// 300 of 1000 bytes free, 200 of them to the user: from 12 o'clock the band
// shows the reserve (a tenth of the turn), the free space, then the used;
// with the space unknown, at the volume's mount point too, none of them.
TEST_F(MapTest, CentreRingShowsReserveFreeAndUsedSpaceOnlyWhenKnown) {
    const struct {
        const char* name;
        bool known;
        Fl_Color reserve, free, used;
    } rows[] = {
        {"space known", true, sectorHue(2), themeFreeSpace, themeUsedSpace},
        {"space unknown", false, themeBorder, themeBorder, themeBorder},
    };
    MountEntry& volume = b.tree.rootVolume;
    volume.mountPoint = "root";
    volume.totalBytes = 1000;
    volume.freeBytes = 300;
    volume.availableBytes = 200;
    open(1120, 700, false);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        volume.spaceKnown = row.known;
        map->resetCache();
        const Canvas c = draw();
        const auto band = [&](double turn) { return at(c, polar(map->holeRadius - 10, turn * 2 * M_PI)); };
        EXPECT_EQ(band(0.05), hex(row.reserve)) << "reserve";
        EXPECT_EQ(band(0.25), hex(row.free)) << "free";
        EXPECT_EQ(band(0.35), hex(row.used)) << "used";
    }
}

// The last of the root's 32 children in 7 rows: a one-byte file, whose share
// (1/1179) is under a pixel of the 259-pixel bar.
TEST_F(MapTest, TinyShareStillGetsABarFourPixelsWide) {
    open(1120, 700, false);
    map->listScroll = 25;
    const Canvas c = draw();
    const int bar = map->listTop + kListRowHeight * 6 + 50;
    EXPECT_GT(c.countIn(map->listLeft + 41 + 2, bar, 2, 4, sectorHue(31)), 0);
    EXPECT_EQ(c.countIn(map->listLeft + 41 + 4, bar, 4, 4, sectorHue(31)), 0);
}

// The footer drawn by the map against the expected text drawn in its box.
TEST_F(MapTest, FooterNamesTheFirstAndLastRowShownCountingFromOne) {
    open(1120, 700, false);
    map->listScroll = 25;
    const std::string footer = "\u2195 " + std::string(uiText(txtMouseWheel)) + " \u00B7 26\u201332";
    const Canvas expected(1120, 700, [&] {
        map->draw();
        fl_color(themeSurface);
        fl_rectf(map->listLeft + 24, 700 - 123, 280, 20);
        drawTextLeft(footer, map->listLeft + 24, 700 - 123, 280, 20, 11, themeTextDim);
    });
    EXPECT_TRUE(draw().sameAs(expected));
}

}  // namespace
}  // namespace fan
