// Map: hover over sectors, groups and rows, the wheel, clicks, the cached
// ring image's colours, the centre volume ring, and an image drawn larger
// than its raster, in a real window driven by real events.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cmath>
#include <memory>
#include <vector>

#include "core/tree_builder.h"
#include "ui/map.h"
#include "ui/map_colours.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

struct FakeHost : MapHost {
    const Tree* tree = nullptr;
    uint64_t current = 0;
    ScanSnapshot snapshot;
    std::vector<uint64_t> opened, menus;

    const Tree* resultTree() const override { return tree; }
    uint64_t currentFolder() const override { return current; }
    bool isScanning() const override { return false; }
    int detailIndex() const override { return 1; }
    int mapTransparency() const override { return 0; }
    const ScanSnapshot& previewSnapshot() const override { return snapshot; }
    double animationPhase() const override { return 0.0; }
    std::string pathText() const override { return {}; }
    void openNode(uint64_t node, bool) override { opened.push_back(node); }
    void showContextMenu(uint64_t node) override { menus.push_back(node); }
};

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
        const uint64_t beta = b.folder(0, "be\xFE\xFFta");
        b.file(b.folder(beta, "deep"), "d1", 300);
        bigFile = b.file(0, "big.bin", 150);
        for (int i = 0; i < 29; ++i) b.file(0, "tiny" + std::to_string(i), 1);
        host.tree = &b.finish();
    }

    // A shown window of the given size with the map filling it, drawn once.
    void open(int w, int h) {
        window = std::make_unique<Fl_Window>(0, 0, w, h);
        map = new Map(0, 0, w, h, &host);
        window->end();
        window->show();
        testing::settle();
    }

    // A copy: every draw replaces the map's segments.
    RingSegment segment(uint64_t node, bool group, int ring) const {
        for (const RingSegment& s : map->segments)
            if (s.node == node && s.isGroup == group && s.ring == ring) return s;
        ADD_FAILURE() << "no segment for node " << node;
        return {};
    }
    // The window point in the middle of a sector, or at `radius` and `angle`.
    static std::pair<int, int> polar(const Map& m, double radius, double angle) {
        return {static_cast<int>(std::lround(m.centerX + std::sin(angle) * radius)),
                static_cast<int>(std::lround(m.centerY - std::cos(angle) * radius))};
    }
    std::pair<int, int> middle(const RingSegment& s) const {
        return polar(*map, map->holeRadius + (s.ring + 0.5) * map->ringWidth, (s.startAngle + s.endAngle) / 2);
    }
    void move(std::pair<int, int> p) { testing::sendMove(window.get(), p.first, p.second); }
    Fl_Color pixel(const Canvas& c, std::pair<int, int> p) const { return c.at(p.first, p.second); }

    testing::TreeBuilder b;
    uint64_t alpha = 0, bigFile = 0;
    FakeHost host;
    std::unique_ptr<Fl_Window> window;
    Map* map = nullptr;
};

TEST_F(MapTest, HoverNamesTheSectorGroupOrRowAndRedrawsOnlyOnChange) {
    open(1120, 700);
    const std::pair<int, int> row1{map->listLeft + 60, map->listTop + 62 + 30};
    struct Case {
        const char* name;
        std::pair<int, int> at;
        uint64_t node;
        bool group;
        uint64_t bytes, count;
    } cases[] = {
        {"folder sector", middle(segment(alpha, false, 0)), alpha, false, 0, 0},
        {"ring-0 group", middle(segment(0, true, 0)), 0, true, 179, 30},
        {"ring-1 group", middle(segment(0, true, 1)), 0, true, 29, 29},
        {"list row", row1, host.tree->nodes[0].children[1], false, 0, 0},
        {"hole", {static_cast<int>(map->centerX), static_cast<int>(map->centerY)}, kNoNode, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        move(c.at);
        EXPECT_EQ(map->hoveredNode, c.node);
        EXPECT_EQ(map->hoveredIsGroup, c.group);
        EXPECT_EQ(map->hoveredGroupBytes, c.bytes);
        EXPECT_EQ(map->hoveredGroupCount, c.count);
        Fl::flush();
        move(c.at);
        EXPECT_EQ(map->damage(), 0) << "redrawn without a change";
    }
    move(middle(segment(alpha, false, 0)));
    EXPECT_NE(map->damage(), 0);
}

TEST_F(MapTest, BottomStripNeverHits) {
    open(1120, 700);
    map->listRows = 50;  // as if the rows reached into the strip
    const int x = map->listLeft + 60;
    EXPECT_NE(map->hitTest(x, 700 - 97), kNoNode);
    EXPECT_EQ(map->hitTest(x, 700 - 96), kNoNode);
    const auto [ax, ay] = middle(segment(alpha, false, 0));
    map->centerY += 700 - 97 - ay;  // the same point of the sector on the strip's edge
    EXPECT_EQ(map->hitTest(ax, 700 - 97), alpha);
    map->centerY += 1;
    EXPECT_EQ(map->hitTest(ax, 700 - 96), kNoNode);
}

TEST_F(MapTest, HoveredSectorIsBrightenedInTheImage) {
    open(1120, 700);
    const RingSegment a = segment(alpha, false, 0);
    const Fl_Color hue = sectorHue(static_cast<int32_t>(a.hue));
    const auto draw = [&] { return Canvas(1120, 700, [&] { map->draw(); }); };
    Canvas plain = draw();
    EXPECT_EQ(hex(pixel(plain, middle(a))), hex(hue));
    EXPECT_EQ(hex(pixel(plain, middle(segment(0, true, 1)))), hex(themeGreySector));

    move(middle(a));
    EXPECT_EQ(hex(pixel(draw(), middle(a))), hex(shadeColor(hue, 26)));
    move({map->listLeft + 60, map->listTop + 30});  // the row of alpha, the first child
    EXPECT_EQ(hex(pixel(draw(), middle(a))), hex(shadeColor(hue, 26)));

    move(middle(segment(0, true, 1)));
    Canvas group = draw();
    EXPECT_EQ(hex(pixel(group, middle(segment(0, true, 1)))), hex(shadeColor(themeGreySector, 26)));
    EXPECT_EQ(hex(pixel(group, middle(segment(0, true, 0)))), hex(themeGreySector));
    EXPECT_EQ(hex(pixel(group, middle(a))), hex(hue));
}

TEST_F(MapTest, WheelKeepsTheListWithinItsRows) {
    b = testing::TreeBuilder();
    for (int i = 0; i < 20; ++i) b.file(0, "f" + std::to_string(i), 100 + i);
    host.tree = &b.finish();
    open(1120, 740);
    ASSERT_EQ(map->listRows, 8);
    const int x = map->listLeft + 60, y = map->listTop + 10;
    const struct { int dy, scroll; } steps[] = {{1, 3}, {2, 9}, {5, 12}, {1, 12}, {-3, 3}, {-2, 0}, {-1, 0}};
    for (const auto& step : steps) {
        move({x, y});
        Fl::e_dy = step.dy;
        testing::sendEvent(window.get(), FL_MOUSEWHEEL, x, y);
        EXPECT_EQ(map->listScroll, step.scroll) << "after " << step.dy;
        EXPECT_EQ(map->hoveredNode, kNoNode);
        testing::settle(0.02);
    }
    Fl::e_dy = 1;
    Fl::e_x = static_cast<int>(map->centerX);
    EXPECT_EQ(map->handle(FL_MOUSEWHEEL), 0) << "over the rings";
    Fl::e_x = x;
    host.tree = nullptr;
    EXPECT_EQ(map->handle(FL_MOUSEWHEEL), 0) << "without a result";
    EXPECT_EQ(map->listScroll, 0);
}

TEST_F(MapTest, ClicksOpenFoldersGoUpAndAskForTheMenu) {
    open(1120, 700);
    const std::pair<int, int> hole{static_cast<int>(map->centerX), static_cast<int>(map->centerY)};
    testing::sendClick(window.get(), hole.first, hole.second);
    EXPECT_TRUE(host.opened.empty()) << "the hole at the root opens nothing";

    const std::pair<int, int> a = middle(segment(alpha, false, 0));
    testing::sendClick(window.get(), a.first, a.second);
    testing::sendClick(window.get(), a.first, a.second, 3);
    move(middle(segment(0, true, 0)));
    testing::sendClick(window.get(), a.first, a.second, 3);  // a group is hovered: the current folder
    EXPECT_EQ(host.opened, std::vector<uint64_t>{alpha});
    EXPECT_EQ(host.menus, (std::vector<uint64_t>{alpha, 0}));

    host.current = alpha;
    map->resetCache();
    map->redraw();
    testing::settle();
    testing::sendClick(window.get(), hole.first, hole.second);
    EXPECT_EQ(host.opened.back(), 0u) << "the hole elsewhere opens the parent";
}

TEST_F(MapTest, ImageWiderThanTheRasterCapSharesTheHitTestsCentre) {
    // R = 553, side 1110: rasterised at 1024 and drawn resampled.
    auto owner = std::make_unique<Fl_Window>(1500, 1400);
    map = new Map(0, 0, 1500, 1400, &host);
    owner->end();
    Canvas c(1500, 1400, [&] { map->draw(); });
    ASSERT_EQ(map->cachedRasterSize, 1024);
    for (uint64_t node : {alpha, uint64_t{0}}) {
        const RingSegment s = segment(node, node == 0, 0);
        EXPECT_EQ(map->hitTest(middle(s).first, middle(s).second), node);
        const Fl_Color colour = node == 0 ? themeGreySector : sectorHue(static_cast<int32_t>(s.hue));
        EXPECT_EQ(hex(pixel(c, middle(s))), hex(colour));
    }
    // The surface disc inside the centre band ends at hole - 15 in every
    // direction, so the image's middle is the stored centre.
    for (double angle : {M_PI / 4, 3 * M_PI / 4, 5 * M_PI / 4, 7 * M_PI / 4}) {
        double r = 40;
        while (pixel(c, polar(*map, r, angle)) == themeSurface && r < map->holeRadius) r += 0.5;
        EXPECT_NEAR(r, map->holeRadius - 15, 1.5) << "angle " << angle;
    }
}

TEST_F(MapTest, HoverRepaintsMatchAWholeRebuild) {
    // Drawn larger than rasterised, so the resampled rows are checked too.
    auto owner = std::make_unique<Fl_Window>(1500, 1400);
    map = new Map(0, 0, 1500, 1400, &host);
    owner->end();
    const auto pixels = [&] {
        Canvas(1500, 1400, [&] { map->draw(); });
        const Fl_RGB_Image& image = *map->mapImage;
        const size_t drawn = static_cast<size_t>(image.w()) * static_cast<size_t>(image.h()) * 3;
        return std::make_pair(map->mapPixels, std::vector<uint8_t>(image.array, image.array + drawn));
    };
    pixels();
    const struct { uint64_t node; bool group; uint64_t bytes, count; } hovers[] = {
        {alpha, false, 0, 0}, {0, true, 29, 29}, {0, true, 179, 30}, {bigFile, false, 0, 0}, {kNoNode, false, 0, 0}};
    for (const auto& h : hovers) {
        map->hoveredNode = h.node;
        map->hoveredIsGroup = h.group;
        map->hoveredGroupBytes = h.bytes;
        map->hoveredGroupCount = h.count;
        const auto repainted = pixels();
        delete map->mapImage;
        map->mapImage = nullptr;
        EXPECT_TRUE(pixels() == repainted) << "hover on " << h.node;
    }
}

TEST_F(MapTest, CentreRingShowsReserveFreeAndUsedSpace) {
    struct Case {
        const char* name;
        bool known;
        uint64_t total, free, available;
        std::vector<std::pair<double, Fl_Color>> probes;  // colour of the band at a fraction of the turn
    } cases[] = {
        {"reserve, free, used", true, 1000, 300, 200,
         {{0.05, sectorHue(2)}, {0.15, themeFreeSpace}, {0.25, themeFreeSpace}, {0.35, themeUsedSpace},
          {0.95, themeUsedSpace}}},
        {"no reserve", true, 1000, 300, 300, {{0.05, themeFreeSpace}, {0.25, themeFreeSpace}, {0.35, themeUsedSpace}}},
        {"nothing available", true, 1000, 300, 0, {{0.05, sectorHue(2)}, {0.25, sectorHue(2)}, {0.35, themeUsedSpace}}},
        {"free above total", true, 100, 300, 300, {{0.25, themeFreeSpace}, {0.95, themeFreeSpace}}},
        {"unknown", false, 1000, 300, 200, {{0.05, themeBorder}, {0.5, themeBorder}}},
    };
    open(1120, 700);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        b.tree.rootVolume.spaceKnown = c.known;
        b.tree.rootVolume.totalBytes = c.total;
        b.tree.rootVolume.freeBytes = c.free;
        b.tree.rootVolume.availableBytes = c.available;
        map->resetCache();
        Canvas canvas(1120, 700, [&] { map->draw(); });
        for (const auto& [turn, colour] : c.probes)
            EXPECT_EQ(hex(pixel(canvas, polar(*map, map->holeRadius - 10, turn * 2 * M_PI))), hex(colour)) << turn;
    }
}

}  // namespace
}  // namespace fan
