// Live preview (items, weights, image cache, hatching, drawing) and welcome screen.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cmath>
#include <string>
#include <vector>

#include "fake_map_host.h"
#include "texts/ui_texts.h"
#include "ui/map_colours.h"
#include "ui/palette.h"
#include "ui/preview_model.h"
#include "ui/scan_hatch.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using namespace fan::testing;
using S = PreviewState;

ScanSnapshot folders(const std::vector<std::pair<uint64_t, S>>& entries) {
    ScanSnapshot s;
    s.valid = true;
    for (const auto& [bytes, state] : entries)
        s.items.push_back({"f" + std::to_string(s.items.size()), bytes, bytes / 10, true, state});
    return s;
}

// A 1000 x 600 map at the origin: list at 670, centre (335, 265), R 167, hole 72.
constexpr int kW = 1000, kH = 600, kL = 670;
int inkIn(const Canvas& c, int x, int y, int w, int h, Fl_Color bg) {
    return w * h - c.countIn(x, y, w, h, bg);
}

class MapPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyPalette(true);
        uiLanguage = 1;
        host.scanning = true;
    }
    void TearDown() override { uiLanguage = savedLanguage; }
    Canvas draw() {
        return Canvas(kW, kH, [&] { map.draw(); });
    }
    const int savedLanguage = uiLanguage;
    FakeMapHost host;
    Map map{0, 0, kW, kH, &host};
};

TEST_F(MapPreviewTest, WeightsStartAtTargetsThenGlideAndForget) {
    std::unordered_map<std::string, double> stored;
    ScanSnapshot s = folders({{400, S::Pending}, {100, S::Scanning}, {0, S::Pending}, {0, S::OtherFileSystem}});
    PreviewWeights w = smoothPreviewWeights(previewItems(s, "r"), stored);
    EXPECT_EQ(w.weights, (std::vector<double>{400, 100, 40, 28}));
    EXPECT_DOUBLE_EQ(previewSegments(previewItems(s, "r"), w)[0].endAngle, 400 / 568.0 * 2 * M_PI);
    s.items[0].bytes = 500;  // the next snapshot
    s.items.erase(s.items.begin() + 1);
    w = smoothPreviewWeights(previewItems(s, "r"), stored);
    EXPECT_DOUBLE_EQ(w.weights[0], 434);  // 400 + 100 * 0.34
    EXPECT_EQ(stored.count("D:f1"), 0u);  // forgotten
    for (auto& item : s.items)
        item.bytes = 0;  // nothing measured: equal shares
    stored.clear();
    EXPECT_EQ(smoothPreviewWeights(previewItems(s, "r"), stored).weights, (std::vector<double>{1, 1, 0.7}));
}

TEST_F(MapPreviewTest, ItemListMergesRootFilesAndCutsAt96) {
    ScanSnapshot s = folders(std::vector<std::pair<uint64_t, S>>(95, {1, S::Complete}));
    s.items.insert(s.items.begin() + 3, {"", 0, 3, false, S::Complete});  // no bytes, but files
    EXPECT_EQ(previewKey(previewItems(s, "root").at(95)), "F:root");
    s.items.push_back({"f95", 1, 1, true, S::Pending});  // a 96th folder pushes the root files out
    const std::vector<PreviewItem> items = previewItems(s, "root");
    ASSERT_EQ(items.size(), 96u);
    EXPECT_EQ(previewKey(items.back()), "D:f95");
}

TEST_F(MapPreviewTest, ImageIsRebuiltUntilWeightsConvergeThenReused) {
    host.snapshot = folders({{0, S::Complete}, {0, S::Scanning}, {0, S::Pending}});
    Fl_Double_Window window(kW, kH);
    Map shown(0, 0, kW, kH, &host);
    window.end();
    window.show();
    settle();
    host.snapshot.items[0].bytes = 900;  // a jump the weights take many draws to follow
    host.snapshot.items[1].bytes = 50;
    std::vector<uint64_t> hashes;
    for (int i = 0; i < 80; ++i) {
        // A mark in the corner pixel survives only as long as nothing is rasterised.
        if (i == 60) shown.previewPixels[0] ^= 0xFF;
        shown.redraw();
        Fl::flush();
        hashes.push_back(shown.previewHash);
    }
    EXPECT_NE(hashes[10], hashes[11]);
    // A capped raster is drawn resampled: another side needs another image.
    EXPECT_NE(previewContentHash({}, {}, 768, 800, 0, {}), previewContentHash({}, {}, 768, 900, 0, {}));
    for (int i = 60; i < 80; ++i)
        EXPECT_EQ(hashes[i], hashes[59]) << i;
    EXPECT_NE(shown.previewPixels[0], colourBytes(mapPanelColour(0))[0]);
    EXPECT_EQ(hex(screenPixel(335 + 120, 265)), hex(sectorHue(0)));  // complete: own hue
}

TEST_F(MapPreviewTest, HatchLinesFollowThePhaseAndStopAt48) {
    auto inkAt = [](const Canvas& c, double cx, double cy, double r, double a) {
        return c.inkIn(int(std::lround(cx + r * std::sin(a))) - 1, int(std::lround(cy - r * std::cos(a))) - 1, 3, 3);
    };
    for (const double phase : {0.0, 0.06, double(NAN)}) {
        Canvas c(240, 1020, [&] { drawScanHatch(20, 1010, 0, 1000, 0, 0.2, FL_RED, phase); });
        const double first = phase == 0.06 ? 0.005 : 0.0;
        for (int k = 0; k < 4; ++k) {
            const double a = first + k * 0.055;  // a line there, none halfway to the next
            EXPECT_TRUE(inkAt(c, 20, 1010, 950, a) > 0 && inkAt(c, 20, 1010, 950, a + 0.0275) == 0) << phase << k;
        }
        EXPECT_EQ(inkAt(c, 20, 1010, 950, first + 4 * 0.055), 0);  // beyond the end
    }
    Canvas wide(400, 400, [] { drawScanHatch(200, 200, 0, 150, 0, 3.0, FL_RED, 0); });
    EXPECT_TRUE(inkAt(wide, 200, 200, 140, 47 * 0.055) > 0 && inkAt(wide, 200, 200, 140, 48 * 0.055) == 0);
}

TEST_F(MapPreviewTest, HeaderListAndCentreBeforeAndAfterTheFirstSnapshot) {
    host.path = "/typed/path";
    const Canvas typed = draw();
    EXPECT_GT(inkIn(typed, 24, 14, kL - 48, 28, themeBackground), 0);
    EXPECT_GT(inkIn(typed, kL + 24, 88, 280, 30, themeSurface), 0);  // reading message
    EXPECT_EQ(hex(typed.at(335, 265 - 62)), hex(themeBorder));       // space unknown
    host.snapshot = folders({{1000, S::Complete}, {0, S::Scanning}, {250, S::AccessError}});
    const Canvas c = draw();
    EXPECT_EQ(c.countIn(kL + 45, 88 + 51, 250, 1, sectorHue(0)), 250);  // the largest: full bar
    EXPECT_GT(c.countIn(kL + 41, 150 + 26, 259, 20, themeAccent), 0);   // "scanning" in accent
    EXPECT_EQ(c.countIn(kL + 45, 150 + 51, 250, 1, themeBorder), 250);  // 0 bytes: track only
    EXPECT_EQ(hex(c.at(kL + 41 + 58, 212 + 51)), "#DC695F");            // a quarter of the largest,
    EXPECT_EQ(hex(c.at(kL + 41 + 68, 212 + 51)), hex(themeBorder));     // not a fifth of the total
}

TEST_F(MapPreviewTest, WelcomeScreenFillsItsBoxesInEitherLanguage) {
    host.scanning = false;
    struct Box {
        int x, y, w, h;
        Fl_Color ink;
    };
    const Box boxes[] = {{50, 120, kL - 100, 50, themeText},
                         {50, 180, kL - 100, 30, themeTextDim},
                         {kL + 24, 26, 280, 30, themeAccent},
                         {kL + 24, 70, 280, 26, themeText},
                         {kL + 24, 112, 280, 170, themeTextDim}};
    for (const int language : {1, 0}) {
        uiLanguage = language;
        const Canvas c = draw();
        for (const Box& b : boxes)
            EXPECT_GT(c.countIn(b.x, b.y, b.w, b.h, b.ink), 0) << b.x << "," << b.y;
        EXPECT_EQ(inkIn(c, 30, 215, kL - 60, kH - 320, mapPanelColour(0)), 0);  // nothing below the hint
    }
}

}  // namespace
}  // namespace fan
