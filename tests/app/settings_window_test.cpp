#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Value_Slider.H>

#include "app/scan_worker_launch.h"
#include "app/settings_window.h"
#include "app_test_support.h"
#include "core/temp_tree.h"
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
    void click(Fl_Widget* w) { sendClick(w->window(), w->x() + 6, w->y() + 6); }
    Canvas pixels(Fl_Widget& w) { return Canvas(app.w(), app.h(), [&] { w.damage(FL_DAMAGE_ALL), w.draw(); }); }
    ShownApp shown;
    App& app = *shown.app;
};

TEST_F(SettingsWindowTest, DefaultsAreStoredOnlyByOkOddValuesOpenAsTheNearestAndTheSliderSnaps) {
    const Settings stored{2, 2, 2, false, 1, false, 60};
    app.settings = stored, saveSettings(stored), app.detailChoice->value(2);
    SettingsWindow& window = open();
    click(window.defaultsButton), sendKey(&window, FL_Escape);
    EXPECT_EQ(fields(loadSettings()), fields(stored));
    EXPECT_EQ(open().themeChoice->value() * 1000 + window.transparencySlider->value(), 2060);
    click(window.defaultsButton), click(window.okButton);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(fields(loadSettings()), fields(Settings{}));
    EXPECT_EQ(app.detailChoice->value(), 0);
    app.settings = Settings{-4, 7, 3, true, 0, true, 37};
    open(), click(window.okButton);
    EXPECT_EQ(fields(loadSettings()), fields(Settings{0, 2, 2, true, 2, true, 37}));
    Fl_Value_Slider& slider = *open().transparencySlider;  // snaps only once moved
    const int right = slider.x() + slider.w() - 3, y = slider.y() + 15;
    for (int x = right; x > slider.x() + 40; x -= 13) {
        sendEvent(&window, x == right ? FL_PUSH : FL_DRAG, x, y);
        EXPECT_EQ(int(slider.value()) % 5, 0) << slider.value();
    }
    sendEvent(&window, FL_RELEASE, slider.x() + 40, y), click(window.okButton);
    EXPECT_LT(loadSettings().mapTransparency, 37);
}

TEST_F(SettingsWindowTest, AThemeChangeRecoloursEveryWindow) {
    for (const int theme : {2, 1}) {
        SettingsWindow& window = open();
        window.themeChoice->value(theme), click(window.okButton);
        ASSERT_EQ(darkTheme, theme == 2);
        const Canvas main = pixels(app), own = pixels(window);
        EXPECT_EQ(main.hexAt(600, 30) + main.hexAt(584, 80) + main.hexAt(32, 70),
                  hex(themeBackground) + hex(themeControl) + hex(themeAccent));
        EXPECT_EQ(own.hexAt(4, 480) + own.hexAt(312, 432) + own.hexAt(442, 432),
                  hex(themeBackground) + hex(themeControl) + hex(themeAccent));
    }
}

// Publishes one snapshot (a folder and the root's own files), then walks
// only once the test lets it.
std::atomic<bool> walk{false};
std::thread heldWorker(App& app, std::filesystem::path path) {
    return std::thread([&app, path] {
        app.scanProgress.store({path, {}, {{"a", 100, 1, true, PreviewState::Scanning}, {"", 50, 2, false}}, 150, true});
        while (!walk) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        app.runScanWorker(path);
    });
}

TEST_F(SettingsWindowTest, DuringAScanTheLanguageRenamesThePreviewAndLivePreviewOffDropsIt) {
    TempTree data;
    data.file("f", 10);
    walk = false, scanWorkerLauncher = heldWorker, app.start(data.root(), false);
    scanWorkerLauncher = launchScanWorkerThread;
    const auto map = [&] { return app.busyPhase = 0, Canvas(app.w(), app.h(), [&] { app.map->draw(); }); };
    const Canvas noPreview = map();
    for (const int language : {0, 1}) {
        app.setLanguage(language);
        ASSERT_TRUE(runUntil([&] { return app.map->previewWeights.count(std::string("F:") + uiText(txtRootFiles)); }));
    }
    EXPECT_FALSE(map().sameAs(noPreview));
    click(open().livePreviewCheck), click(app.settingsWindow->okButton);
    EXPECT_TRUE(map().sameAs(noPreview));
    app.scanProgress.store(ScanSnapshot{});  // forget the held worker's snapshot
    walk = true;
    ASSERT_TRUE(runUntil([&] { return app.result != nullptr; }));
    EXPECT_EQ(app.result->nodes[0].size, 10u);
    EXPECT_FALSE(app.scanProgress.snapshot().valid);  // the walk published none
}

}  // namespace
}  // namespace fan::testing
