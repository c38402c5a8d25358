// The live preview: which entries it shows and in what order, their weights,
// what its ring image is keyed on, the hatching, the header and the list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/fake_directory_lister.h"
#include "core/scan_engine.h"
#include "map_fixture.h"
#include "ui/map_colours.h"
#include "ui/preview_model.h"
#include "ui/scan_hatch.h"

namespace fan {
namespace {

using namespace fan::testing;
using S = PreviewState;
using Entries = std::vector<std::pair<uint64_t, S>>;

// Folder items f0, f1, ... with the given bytes and states.
std::vector<PreviewItem> folderItems(const Entries& entries) {
    std::vector<PreviewItem> items;
    for (const auto& [bytes, state] : entries)
        items.push_back({"f" + std::to_string(items.size()), bytes, bytes / 10, true, state});
    return items;
}

TEST(PreviewItems, OnAWideRootTheCutKeepsTheFoldersTheWalkIsOn) {
    testing::FakeDirectoryLister lister;
    for (int i = 0; i < 100; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "d%03d", i);
        lister.folders["/r"].push_back({name, EntryKind::Folder});
        lister.folders[std::string("/r/") + name] = {{"file", EntryKind::File, 1}};
    }
    ScanProgress progress;
    // Stopped inside the tenth folder walked; the last snapshot shows the
    // walk as it stood.
    lister.onEntry = [&](const std::string& folder, const std::string&) {
        if (folder == "/r/d090") progress.stop = true;
    };
    const std::vector<MountEntry> noMounts;
    scanTree("/r", progress, &noMounts, lister);

    const std::vector<PreviewItem> items = previewItems(progress.snapshot(), "Root files");
    ASSERT_EQ(items.size(), 96u);
    EXPECT_EQ(items.front().name, "d099");  // walked first, done
    EXPECT_EQ(items[9].name, "d090");       // being walked
    EXPECT_EQ(items.back().name, "d004");   // the first listed are walked last, and cut
}

// Files counted in the root before any of their bytes still get the item.
TEST(PreviewItems, RootFilesOfNoBytesYetFollowTheFolders) {
    ScanSnapshot snapshot;
    snapshot.valid = true;
    snapshot.items = folderItems({{1, S::Complete}, {1, S::Complete}, {1, S::Complete}});
    snapshot.items.insert(snapshot.items.begin() + 1, {"", 0, 3, false, S::Complete});
    const std::vector<PreviewItem> items = previewItems(snapshot, "Root files");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(previewKey(items.back()), "F:Root files");
}

// Another file system's mount point gets 70 % of such a weight.
TEST(PreviewWeights, AnUnmeasuredEntryWeighsSixteenPercentOfTheAverageMeasuredOneAndAtLeastOne) {
    std::unordered_map<std::string, double> stored;
    const auto items = folderItems({{400, S::Complete}, {100, S::Scanning}, {0, S::Pending}, {0, S::OtherFileSystem}});
    EXPECT_EQ(smoothPreviewWeights(items, stored).weights, (std::vector<double>{400, 100, 40, 28}));
    std::unordered_map<std::string, double> storedForSmall;
    const auto small = folderItems({{2, S::Complete}, {0, S::Pending}, {0, S::OtherFileSystem}});
    EXPECT_EQ(smoothPreviewWeights(small, storedForSmall).weights, (std::vector<double>{2, 1, 0.7}));
}

TEST(PreviewWeights, AStoredWeightMovesAThirdOfTheWayToItsTarget) {
    std::unordered_map<std::string, double> stored;
    auto items = folderItems({{400, S::Scanning}});
    smoothPreviewWeights(items, stored);
    items[0].bytes = 500;
    EXPECT_DOUBLE_EQ(smoothPreviewWeights(items, stored).weights[0], 434);  // 400 + 100 * 0.34
}

TEST(PreviewSectorGap, ATenthOfTheSectorAtMostSevenThousandthsOfARadian) {
    EXPECT_NEAR(previewSectorGap(1.0, 1.05), 0.005, 1e-12) << "narrow sector";
    EXPECT_NEAR(previewSectorGap(1.0, 3.0), 0.007, 1e-12) << "wide sector";
}

TEST(PreviewContentHash, ChangesWithEachThingTheRingImageShows) {
    struct Inputs {
        std::vector<PreviewItem> items = folderItems({{400, S::Complete}, {0, S::Scanning}});
        int side = 800;
        MountEntry volume;
    };
    auto key = [](const Inputs& in) {
        std::unordered_map<std::string, double> stored;
        const PreviewWeights weights = smoothPreviewWeights(in.items, stored);
        return previewContentHash(in.items, weights, 768, in.side, 0, in.volume);
    };
    Inputs base;
    base.volume.spaceKnown = true;
    base.volume.totalBytes = 1000;
    base.volume.freeBytes = 500;
    base.volume.availableBytes = 400;
    const struct {
        const char* name;
        std::function<void(Inputs&)> change;
    } rows[] = {
        {"free space", [](Inputs& in) { in.volume.freeBytes = 600; }},
        {"space free to the user", [](Inputs& in) { in.volume.availableBytes = 500; }},
        {"space no longer known", [](Inputs& in) { in.volume.spaceKnown = false; }},
        {"drawn side of a capped raster", [](Inputs& in) { in.side = 900; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Inputs changed = base;
        row.change(changed);
        EXPECT_NE(key(changed), key(base));
    }
}

// Ink around the point at angle a (radians from 12 o'clock) and radius 950
// of a hatch centred at (20, 1010).
int inkAtAngle(const Canvas& c, double a) {
    const int x = static_cast<int>(std::lround(20 + 950 * std::sin(a)));
    const int y = static_cast<int>(std::lround(1010 - 950 * std::cos(a)));
    return c.inkIn(x - 1, y - 1, 3, 3);
}

// A phase counter grown past any number, too, leaves the lines where phase 0 does.
TEST(ScanHatch, LinesStand0_055ApartFromTheSectorsStartAtAnInfinitePhase) {
    const Canvas c(240, 1020, [] { drawScanHatch(20, 1010, 0, 1000, 0, 0.2, FL_RED, INFINITY); });
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(inkAtAngle(c, k * 0.055), 0) << "line " << k;
        EXPECT_EQ(inkAtAngle(c, k * 0.055 + 0.0275), 0) << "halfway after line " << k;
    }
}

TEST(ScanHatch, StopsAfter48Lines) {
    const Canvas c(240, 1020, [] { drawScanHatch(20, 1010, 0, 1000, -47 * 0.055, 1.0, FL_RED, 0.0); });
    EXPECT_GT(inkAtAngle(c, 0.0), 0) << "line 48";
    EXPECT_EQ(inkAtAngle(c, 0.055), 0) << "line 49";
}

// A 1000 x 600 map at the origin: list at 670, centre (335, 265), R 167, hole 72.
constexpr int kW = 1000, kH = 600, kL = 670;

class MapPreviewTest : public MapFixture {
protected:
    void SetUp() override {
        MapFixture::SetUp();
        host.scanning = true;
        open(kW, kH, false);
    }
};

TEST_F(MapPreviewTest, HeaderShowsARootPathLongerThanPathMax) {
    host.snapshot.valid = true;
    for (int i = 0; i < 500; ++i)
        host.snapshot.root /= "folder" + std::to_string(i);
    const Canvas c = draw();
    EXPECT_GT(c.countIn(24, 14, kL - 48, 28, themeText), 0);
}

TEST_F(MapPreviewTest, ListRowsInWalkOrderWithBarsAgainstTheLargestEntry) {
    // Drawn f2, f1, f0: the walk, and so the preview, takes up the last listed first.
    host.snapshot.valid = true;
    host.snapshot.items = folderItems({{250, S::AccessError}, {0, S::Scanning}, {1000, S::Complete}});
    const Canvas c = draw();
    EXPECT_EQ(c.countIn(kL + 45, 88 + 51, 250, 1, sectorHue(0)), 250);  // the largest: full bar
    EXPECT_GT(c.countIn(kL + 41, 150 + 26, 259, 20, themeAccent), 0);   // "scanning" in accent
    EXPECT_EQ(c.countIn(kL + 45, 150 + 51, 250, 1, themeBorder), 250);  // 0 bytes: track only
    EXPECT_EQ(hex(c.at(kL + 41 + 58, 212 + 51)), "#DC695F");            // a quarter of the largest,
    EXPECT_EQ(hex(c.at(kL + 41 + 68, 212 + 51)), hex(themeBorder));     // not a fifth of the total
}

// Two unmeasured folders halve the ring; the walk takes the last listed
// first, so the pending one takes the right half, where its sixth hatch line
// crosses radius 120 at 0.275 radians.
TEST_F(MapPreviewTest, PendingHatchingStandsStillAsThePhaseAdvances) {
    host.snapshot.valid = true;
    host.snapshot.items = folderItems({{0, S::Scanning}, {0, S::Pending}});
    const int x = static_cast<int>(std::lround(335 + 120 * std::sin(0.275)));
    const int y = static_cast<int>(std::lround(265 - 120 * std::cos(0.275)));
    for (const double phase : {0.0, 1.5}) {
        host.phase = phase;
        EXPECT_GT(draw().countIn(x - 1, y - 1, 3, 3, shadeColor(themeBorder, 12)), 0) << "at phase " << phase;
    }
}

// The scanning folder takes the left half, from pi; its hatch lines stand
// 0.055 radians apart, moved on by 0.018 radians per unit of the phase.
TEST_F(MapPreviewTest, ScanningHatchingMovesOnWithThePhase) {
    host.snapshot.valid = true;
    host.snapshot.items = folderItems({{0, S::Scanning}, {0, S::Pending}});
    const Fl_Color hatch = fl_color_average(themeAccent, mapPanelColour(host.transparency), 0.7f);
    const auto hatchAt = [&](const Canvas& c, double a) {
        const int x = static_cast<int>(std::lround(335 + 150 * std::sin(a)));
        const int y = static_cast<int>(std::lround(265 - 150 * std::cos(a)));
        return c.countIn(x - 1, y - 1, 3, 3, hatch);
    };
    for (const double phase : {0.75, 1.5}) {
        SCOPED_TRACE(phase);
        host.phase = phase;
        const Canvas c = draw();
        const double fourthLine = M_PI + 3 * 0.055 + phase * 0.018;
        EXPECT_GT(hatchAt(c, fourthLine), 0);
        EXPECT_EQ(hatchAt(c, fourthLine + 0.0275), 0) << "half way to the next line";
    }
}

}  // namespace
}  // namespace fan
