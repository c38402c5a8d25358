#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Value_Slider.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/scan_worker_launch.h"
#include "app/settings_window.h"
#include "app_test_support.h"
#include "texts/ui_texts.h"
#include "ui/palette.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

auto fields(const Settings& s) {
    return std::tuple(s.languageMode, s.themeMode, s.defaultDepth, s.rememberDepth, s.lastDepth, s.livePreview,
                      s.mapTransparency);
}

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindow& open() { return App::showSettings(nullptr, &app), *app.settingsWindow; }
    Canvas pixels(Fl_Widget& w) {
        return Canvas(app.w(), app.h(), [&] { w.damage(FL_DAMAGE_ALL), w.draw(); });
    }
    ShownApp shown;
    App& app = *shown.app;
};

TEST_F(SettingsWindowTest, DefaultsAreStoredOnlyByOkOddValuesOpenAsTheNearestAndTheSliderSnaps) {
    const Settings stored{2, 2, 2, false, 1, false, 60};
    app.settings = stored, saveSettings(stored), app.detailChoice->value(2);
    SettingsWindow& window = open();
    click(window.defaultsButton), sendKey(&window, FL_Escape);
    EXPECT_EQ(fields(loadSettings()), fields(stored));
    open(), click(window.defaultsButton), click(window.okButton);
    EXPECT_EQ(fields(loadSettings()), fields(Settings{}));
    EXPECT_TRUE(!window.visible() && app.detailChoice->value() == 0);
    app.settings = Settings{-4, 7, 3, true, 0, true, 37};
    open(), click(window.okButton);
    EXPECT_EQ(fields(loadSettings()), fields(Settings{0, 2, 2, true, 2, true, 37}));
    Fl_Value_Slider& slider = *open().transparencySlider;  // snaps only once moved
    sendClick(&window, slider.x() + 150, slider.y() + 15), click(window.okButton);
    EXPECT_TRUE(loadSettings().mapTransparency % 5 == 0 && loadSettings().mapTransparency > 0)
        << loadSettings().mapTransparency;
}

TEST_F(SettingsWindowTest, AThemeChangeRecoloursEveryWindow) {
    App::showHelp(nullptr, &app), app.showAnalysis();
    for (const int theme : {2, 1}) {
        SettingsWindow& window = open();
        window.themeChoice->value(theme), window.languageChoice->value(theme), click(window.okButton);
        ASSERT_EQ(darkTheme * 10 + uiLanguage, theme == 2 ? 11 : 0);
        const Canvas main = pixels(app), own = pixels(window), help = pixels(*app.helpWindow),
                     analysis = pixels(*app.analysisWindow);
        const std::string back = hex(themeBackground), control = hex(themeControl), accent = hex(themeAccent);
        EXPECT_EQ(main.hexAt(600, 30) + own.hexAt(4, 480) + help.hexAt(360, 600) + analysis.hexAt(4, 4),
                  back + back + back + back);
        EXPECT_EQ(main.hexAt(584, 80) + main.hexAt(32, 70) + own.hexAt(312, 432) + own.hexAt(442, 432) +
                      analysis.hexAt(400, 400),
                  control + accent + control + accent + hex(themeSurface));
    }
}

// Publishes a snapshot of a folder and the root's files, then walks once let.
std::atomic<bool> walk{false};
std::thread heldWorker(App& app, std::filesystem::path path) {
    return std::thread([&app, path] {
        app.scanProgress.store(
            {path, {}, {{"a", 100, 1, true, PreviewState::Scanning}, {"", 50, 2, false}}, 150, true});
        while (!walk)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        app.runScanWorker(path);
    });
}

TEST_F(SettingsWindowTest, DuringAScanTheLanguageRenamesThePreviewAndLivePreviewOffDropsIt) {
    TempTree data;
    walk = false, scanWorkerLauncher = heldWorker, app.start(data.file("f", 10).parent_path(), false);
    scanWorkerLauncher = launchScanWorkerThread;
    const auto map = [&] { return app.busyPhase = 0, Canvas(app.w(), app.h(), [&] { app.map->draw(); }); };
    const Canvas noPreview = map();
    app.setLanguage(1 - uiLanguage);
    ASSERT_TRUE(runUntil([&] { return app.map->previewWeights.count(std::string("F:") + uiText(txtRootFiles)); }));
    click(open().livePreviewCheck), click(app.settingsWindow->okButton);
    EXPECT_TRUE(map().sameAs(noPreview));
    app.scanProgress.store(ScanSnapshot{}), walk = true;  // the held worker's snapshot forgotten
    ASSERT_TRUE(runUntil([&] { return app.result != nullptr; }));
    EXPECT_TRUE(app.result->nodes[0].size == 10 && !app.scanProgress.snapshot().valid);  // the walk published none
}

}  // namespace
}  // namespace fan::testing
