#include "app_test_support.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/scan_worker_launch.h"
#include "app/settings_window.h"
#include "ui/palette.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

void expectSettings(const Settings& actual, const Settings& expected) {
    EXPECT_EQ(actual.languageMode, expected.languageMode);
    EXPECT_EQ(actual.themeMode, expected.themeMode);
    EXPECT_EQ(actual.defaultDepth, expected.defaultDepth);
    EXPECT_EQ(actual.rememberDepth, expected.rememberDepth);
    EXPECT_EQ(actual.lastDepth, expected.lastDepth);
    EXPECT_EQ(actual.livePreview, expected.livePreview);
    EXPECT_EQ(actual.mapTransparency, expected.mapTransparency);
}

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindow& open() {
        App::showSettings(nullptr, &app);
        return *app.settingsWindow;
    }
    Canvas pixels(Fl_Widget& w) {
        return Canvas(app.w(), app.h(), [&] {
            w.damage(FL_DAMAGE_ALL);
            w.draw();
        });
    }
    ShownApp shown;
    App& app = *shown.app;
};

TEST_F(SettingsWindowTest, DefaultsThenOkStoreTheDefaultsAndSelectOverview) {
    app.detailChoice->value(2);
    SettingsWindow& window = open();
    click(window.defaultsButton);
    click(window.okButton);
    expectSettings(loadSettings(), Settings{});
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app.detailChoice->value(), 0);
}

TEST_F(SettingsWindowTest, ADarkThemeRecoloursEveryWindow) {
    showEveryWindow(app);
    SettingsWindow& window = *app.settingsWindow;
    window.themeChoice->value(2);
    click(window.okButton);
    ASSERT_EQ(darkTheme, 1);
    const struct {
        const char* name;
        Fl_Widget* window;
        int x, y;
        Fl_Color colour;
    } rows[] = {
        {"main window", &app, 600, 30, themeBackground},
        {"settings window", &window, 4, 480, themeBackground},
        {"help window", app.helpWindow, 360, 600, themeBackground},
        {"analysis window", app.analysisWindow, 4, 4, themeBackground},
        {"OK button", &window, 442, 432, themeAccent},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pixels(*row.window).hexAt(row.x, row.y), hex(row.colour)) << row.name;
}

// A worker that publishes a snapshot of a folder and the root's files, then
// walks once the live preview is switched off (or after a minute).
std::thread previewThenWalk(App& app, std::filesystem::path path) {
    return std::thread([&app, path] {
        ScanSnapshot held;
        held.root = path;
        held.items = {{"a", 100, 1, true, PreviewState::Scanning}, {"", 50, 2, false}};
        held.bytes = 150;
        held.valid = true;
        app.scanProgress.store(std::move(held));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (app.scanProgress.livePreview.load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        app.scanProgress.store(ScanSnapshot{});
        app.runScanWorker(path);
    });
}

TEST_F(SettingsWindowTest, LivePreviewOffDropsThePreviewAndTheScanGoesOn) {
    TempTree data;
    scanWorkerLauncher = previewThenWalk;
    app.start(data.file("f", 10).parent_path(), false);
    scanWorkerLauncher = launchScanWorkerThread;
    auto map = [&] {
        app.busyPhase = 0;
        return Canvas(app.w(), app.h(), [&] { app.map->draw(); });
    };
    const Canvas noPreview = map();
    ASSERT_TRUE(runUntil([&] { return app.map->previewWeights.count("D:a") != 0; }));
    click(open().livePreviewCheck);
    click(app.settingsWindow->okButton);
    EXPECT_TRUE(map().sameAs(noPreview));
    ASSERT_TRUE(scanEnded(app));
    EXPECT_EQ(app.result->nodes[0].size, 10u);
    EXPECT_FALSE(app.scanProgress.snapshot().valid);  // the walk published none
}

}  // namespace
}  // namespace fan::testing
