#include "app_test_support.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Value_Slider.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/settings_window.h"
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

// The start-up mode confirmed is also the mode chosen last.
TEST_F(SettingsWindowTest, OkMakesTheStartUpModeTheLastOne) {
    app.settings.lastDepth = 1;
    SettingsWindow& window = open();
    window.startupDetailChoice->value(2);
    click(window.okButton);
    EXPECT_EQ(loadSettings().lastDepth, 2);
    EXPECT_EQ(app.detailChoice->value(), 2);
}

// Defaults only fills the controls; closing without OK keeps what is stored,
// and the window opens again on it, not on the edits.
TEST_F(SettingsWindowTest, DefaultsThenEscapeStoreNothingAndTheEditsDoNotComeBack) {
    const Settings stored{2, 2, 2, false, 1, false, 60};
    app.settings = stored;
    saveSettings(stored);
    click(open().defaultsButton);
    sendKey(app.settingsWindow, FL_Escape);
    EXPECT_FALSE(app.settingsWindow->visible());
    expectSettings(loadSettings(), stored);
    SettingsWindow& again = open();
    EXPECT_EQ(again.themeChoice->value(), 2);
    EXPECT_EQ(again.transparencySlider->value(), 60);
}

TEST_F(SettingsWindowTest, StoredValuesOutOfRangeOpenAsTheNearest) {
    app.settings = Settings{-4, 7, 3, true, 0, true, -20};
    SettingsWindow& window = open();
    EXPECT_EQ(window.languageChoice->value(), 0);
    EXPECT_EQ(window.themeChoice->value(), 2);
    EXPECT_EQ(window.startupDetailChoice->value(), 2);
    EXPECT_EQ(window.transparencySlider->value(), 0);
}

// Each open window takes the colours of the theme OK confirms.
TEST_F(SettingsWindowTest, AThemeChangeRecoloursEveryWindow) {
    showEveryWindow(app);
    for (const int theme : {1, 2}) {
        SCOPED_TRACE(theme == 2 ? "dark" : "light");
        SettingsWindow& window = open();
        window.themeChoice->value(theme);
        click(window.okButton);
        ASSERT_EQ(darkTheme, theme == 2 ? 1 : 0);
        ASSERT_NE(app.helpWindow, nullptr) << "the help window is shown again";
        const struct {
            const char* name;
            Fl_Widget* window;
            int x, y;
        } rows[] = {{"main window", &app, 600, 30},
                    {"settings window", &window, 4, 480},
                    {"help window", app.helpWindow, 360, 600},
                    {"analysis window", app.analysisWindow, 4, 4}};
        for (const auto& row : rows) {
            const Canvas c(app.w(), app.h(), [&] {
                row.window->damage(FL_DAMAGE_ALL);
                row.window->draw();
            });
            EXPECT_EQ(c.hexAt(row.x, row.y), hex(themeBackground)) << row.name;
        }
    }
}

}  // namespace
}  // namespace fan::testing
