#include "app_test_support.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Value_Slider.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/scan_worker_launch.h"
#include "app/settings_window.h"
#include "texts/ui_texts.h"
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

TEST_F(SettingsWindowTest, DefaultsThenCloseStoreNothing) {
    const Settings stored{2, 2, 2, false, 1, false, 60};
    app.settings = stored;
    saveSettings(stored);
    SettingsWindow& window = open();
    click(window.defaultsButton);
    sendKey(&window, FL_Escape);
    expectSettings(loadSettings(), stored);
}

TEST_F(SettingsWindowTest, DefaultsThenOkStoreTheDefaultsAndSelectOverview) {
    app.detailChoice->value(2);
    SettingsWindow& window = open();
    click(window.defaultsButton);
    click(window.okButton);
    expectSettings(loadSettings(), Settings{});
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app.detailChoice->value(), 0);
}

TEST_F(SettingsWindowTest, StoredValuesOutOfRangeOpenAsTheNearest) {
    app.settings = Settings{-4, 7, 3, true, 0, true, 37};
    SettingsWindow& window = open();
    EXPECT_EQ(window.languageChoice->value(), 0);
    EXPECT_EQ(window.themeChoice->value(), 2);
    EXPECT_EQ(window.startupDetailChoice->value(), 2);
    EXPECT_EQ(window.transparencySlider->value(), 37);  // kept until the slider is moved
}

TEST_F(SettingsWindowTest, TheSliderLandsOnMultiplesOfFive) {
    SettingsWindow& window = open();
    const Fl_Value_Slider& slider = *window.transparencySlider;
    sendClick(&window, slider.x() + 150, slider.y() + 15);
    click(window.okButton);
    const int stored = loadSettings().mapTransparency;
    EXPECT_EQ(stored % 5, 0) << stored;
    EXPECT_GT(stored, 0);
}

TEST_F(SettingsWindowTest, AThemeChangeRecoloursEveryWindow) {
    App::showHelp(nullptr, &app);
    app.showAnalysis();
    for (const int theme : {2, 1}) {
        SCOPED_TRACE(theme == 2 ? "dark" : "light");
        SettingsWindow& window = open();
        window.themeChoice->value(theme);
        click(window.okButton);
        ASSERT_EQ(darkTheme, theme == 2 ? 1 : 0);
        const Canvas main = pixels(app), own = pixels(window), help = pixels(*app.helpWindow),
                     analysis = pixels(*app.analysisWindow);
        const struct {
            const char* name;
            const Canvas& canvas;
            int x, y;
            Fl_Color colour;
        } rows[] = {
            {"main window", main, 600, 30, themeBackground},    {"settings window", own, 4, 480, themeBackground},
            {"help window", help, 360, 600, themeBackground},   {"analysis window", analysis, 4, 4, themeBackground},
            {"Scan button", main, 584, 80, themeControl},       {"Open folder button", main, 32, 70, themeAccent},
            {"Defaults button", own, 312, 432, themeControl},   {"OK button", own, 442, 432, themeAccent},
            {"results list", analysis, 400, 400, themeSurface},
        };
        for (const auto& row : rows)
            EXPECT_EQ(row.canvas.hexAt(row.x, row.y), hex(row.colour)) << row.name;
    }
}

// A scan whose worker publishes a snapshot of a folder and the root's
// files, then walks only once let.
std::atomic<bool> walk{false};
std::thread heldWorker(App& app, std::filesystem::path path) {
    return std::thread([&app, path] {
        ScanSnapshot held;
        held.root = path;
        held.items = {{"a", 100, 1, true, PreviewState::Scanning}, {"", 50, 2, false}};
        held.bytes = 150;
        held.valid = true;
        app.scanProgress.store(std::move(held));
        while (!walk)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        app.runScanWorker(path);
    });
}

class HeldScanTest : public SettingsWindowTest {
protected:
    void SetUp() override {
        walk = false;
        scanWorkerLauncher = heldWorker;
        app.start(data.file("f", 10).parent_path(), false);
        scanWorkerLauncher = launchScanWorkerThread;
    }
    // Lets the walk run; the held snapshot is forgotten first.
    bool finished() {
        app.scanProgress.store(ScanSnapshot{});
        walk = true;
        return runUntil([&] { return app.result != nullptr; });
    }
    bool previewShows(const std::string& weightKey) {
        return runUntil([&] { return app.map->previewWeights.count(weightKey) != 0; });
    }
    Canvas map() {
        app.busyPhase = 0;
        return Canvas(app.w(), app.h(), [&] { app.map->draw(); });
    }
    TempTree data;
};

TEST_F(HeldScanTest, TheLanguageRenamesThePreview) {
    ASSERT_TRUE(previewShows(std::string("F:") + uiText(txtRootFiles)));
    app.setLanguage(1 - uiLanguage);
    EXPECT_TRUE(previewShows(std::string("F:") + uiText(txtRootFiles)));
    EXPECT_TRUE(finished());
}

TEST_F(HeldScanTest, LivePreviewOffDropsThePreviewAndTheScanGoesOn) {
    const Canvas noPreview = map();
    ASSERT_TRUE(previewShows("D:a"));
    click(open().livePreviewCheck);
    click(app.settingsWindow->okButton);
    EXPECT_TRUE(map().sameAs(noPreview));
    ASSERT_TRUE(finished());
    EXPECT_EQ(app.result->nodes[0].size, 10u);
    EXPECT_FALSE(app.scanProgress.snapshot().valid);  // the walk published none
}

}  // namespace
}  // namespace fan::testing
