#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <chrono>
#include <system_error>
#include <vector>

#include "app/scan_worker_launch.h"
#include "app/status_text.h"
#include "app_test_support.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

// The status texts' words are checked in English; their translations have
// tests of their own.
class AppScanTest : public ::testing::Test {
protected:
    AppScanTest() { app.setLanguage(1); }
    ~AppScanTest() override { scanWorkerLauncher = launchScanWorkerThread; }

    void enterPath(const std::string& path) {
        app.pathInput->value(path.c_str());
        Fl::focus(app.pathInput);
        sendKey(&app, FL_Enter);
    }
    void finish() { ASSERT_TRUE(scanEnded(app)); }
    void expectStatusStart(const std::string& start) const { EXPECT_EQ(app.statusText.substr(0, start.size()), start); }

    TempTree data;
    ShownApp shown;
    App& app = *shown.app;
};

TEST_F(AppScanTest, AScanIsAdopted) {
    data.file("t/a/one", 1000);
    data.file("t/b/two", 3000);
    data.file("t/top", 10);
    data.folder("t/mnt");
    MountEntry inside;  // the worker walks with the window's table: this mount is not descended
    inside.mountPoint = (data.root() / "t/mnt").string();
    app.mountEntries = {inside};
    app.refreshFileSystems();
    enterPath((data.root() / "t/b/..").string());
    EXPECT_TRUE(app.cancelButton->active());
    finish();
    ASSERT_NE(app.result, nullptr);
    EXPECT_EQ(app.result->nodes[0].size, 4010u);
    EXPECT_EQ(app.pathFieldText(), (data.root() / "t").string());
    EXPECT_NE(app.fileSystemPaths.at(0), inside.mountPoint);  // the mounts listed afresh
    EXPECT_EQ(app.statusText, "Ready   ·   3 files   ·   0 errors   ·   1 mount points scanned separately   ·   " +
                                  formatSeconds(app.result->seconds) + " s");
}

TEST_F(AppScanTest, CancelShowsStoppingAtOnceThenThePartialResult) {
    scanWorkerLauncher = walkOnceStopped;
    enterPath("/");
    click(app.cancelButton);
    expectStatusStart("Stopping scan…   ");
    EXPECT_FALSE(app.cancelButton->active());
    finish();
    ASSERT_NE(app.result, nullptr);
    EXPECT_TRUE(app.result->stopped);
    expectStatusStart("Stopped · partial result   ·   " + std::to_string(app.result->nodes[0].fileCount) + " files");
}

// The display follows a running scan ten times a second: each tick moves
// the animation on. Late ticks are made up for, so ten of them take a second;
// the bounds leave room for a loaded machine and still tell 0.05 s or 0.2 s.
TEST_F(AppScanTest, ARunningScanIsPolledTenTimesASecond) {
    scanWorkerLauncher = walkOnceStopped;
    enterPath(data.root().string());
    std::vector<std::chrono::steady_clock::time_point> ticks;
    double phase = app.busyPhase;
    runUntil(
        [&] {
            if (app.busyPhase != phase) {
                phase = app.busyPhase;
                ticks.push_back(std::chrono::steady_clock::now());
            }
            return ticks.size() == 11;
        },
        5);
    ASSERT_EQ(ticks.size(), 11u);
    const double seconds = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
    EXPECT_GT(seconds, 0.7);
    EXPECT_LT(seconds, 1.6);
    click(app.cancelButton);
    finish();
}

// The lines a real scan here does not show: the running count, and the
// warning when the mount table cannot be read.
TEST_F(AppScanTest, StatusLinesWhileScanningAndWithoutAMountTable) {
    Tree noNodes;
    noNodes.seconds = 0.96;
    EXPECT_EQ(statusText(StatusFacts{true, false, 1523, 2587712717, &noNodes, "x", true}),
              "Scanning…   1523 files   ·   2.41 GiB");
    EXPECT_EQ(statusText(StatusFacts{false, false, 9, 9, &noNodes, "", true}),
              "Ready   ·   0 files   ·   0 errors   ·   0 mount points scanned separately   ·   1.0 s   ·   "
              "Could not read /proc/self/mountinfo; file-system boundaries are unknown.");
}

std::thread failingLauncher(App&, std::filesystem::path) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

TEST_F(AppScanTest, FailuresShowTheirText) {
    const std::string file = data.write("file", "x").string();
    const std::string folder = data.folder("folder").string();
    const struct {
        const char* name;
        std::string path;
        bool launches;
        std::string status;
    } rows[] = {
        {"not a folder", file, true, "Could not open folder: " + file},
        {"no thread", folder, false, "Could not start the scan thread: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        scanWorkerLauncher = row.launches ? launchScanWorkerThread : failingLauncher;
        enterPath(row.path);
        finish();
        EXPECT_EQ(app.result.get(), nullptr);
        EXPECT_EQ(app.pathFieldText(), row.path);
        EXPECT_TRUE(app.scanButton->active());
        EXPECT_FALSE(app.cancelButton->active());
        EXPECT_FALSE(app.upButton->active());
        expectStatusStart(row.status);
    }
}

TEST_F(AppScanTest, FileSystemsMenuItemsAreCutAndShownLiterally) {
    const std::string a51(51, 'a');
    const std::string target = data.folder("R&D").string();
    // Mount point, type, source, device, model; the item shown.
    const struct {
        std::vector<std::string> fields;
        std::string item;
    } rows[] = {
        {{target, "x", "a/b@c", "", ""}, data.root().string() + "/R&&D · x · a/b@@c"},
        {{a51 + "😀x", "", "", "", ""}, a51 + "😀…"},
        {{a51 + "\xE2" + "bcd", "", "", "", ""}, a51 + "\uFFFD…"},  // not UTF-8
        {{"", "", "", "", ""}, ""},
    };
    app.mountEntries.assign(1, MountEntry{});
    app.mountEntries[0].pseudo = true;
    for (const auto& row : rows) {
        MountEntry& e = app.mountEntries.emplace_back();
        e.mountPoint = row.fields[0];
        e.fsType = row.fields[1];
        e.source = row.fields[2];
        e.device = row.fields[3];
        e.model = row.fields[4];
    }
    Fl_Choice& menu = *app.fileSystemsChoice;
    const int last = std::size(rows);
    app.refreshFileSystems();
    menu.value(last);
    app.refreshFileSystems();
    EXPECT_EQ(menu.value(), last);     // the choice is kept
    ASSERT_EQ(menu.size(), last + 2);  // the header and the end mark besides
    for (int i = 0; i < last; ++i)
        EXPECT_EQ(menu.text(i + 1), rows[i].item);
    menu.do_callback();  // the empty item starts nothing
    EXPECT_FALSE(app.scanning);
    menu.value(1);
    menu.do_callback();
    EXPECT_EQ(app.pathFieldText(), target);
    finish();
}

}  // namespace
}  // namespace fan::testing
