#include "app_test_support.h"

#include <FL/Fl_Choice.H>

#include "app/settings_window.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

TEST(SettingsWindowTest, DefaultsThenOkStoreTheDefaultsAndSelectOverview) {
    ShownApp app;
    app->detailChoice->value(2);
    App::showSettings(nullptr, app);
    SettingsWindow& window = *app->settingsWindow;
    click(window.defaultsButton);
    click(window.okButton);
    const Settings stored = loadSettings();
    const Settings defaults;
    EXPECT_EQ(stored.languageMode, defaults.languageMode);
    EXPECT_EQ(stored.themeMode, defaults.themeMode);
    EXPECT_EQ(stored.defaultDepth, defaults.defaultDepth);
    EXPECT_EQ(stored.rememberDepth, defaults.rememberDepth);
    EXPECT_EQ(stored.lastDepth, defaults.lastDepth);
    EXPECT_EQ(stored.livePreview, defaults.livePreview);
    EXPECT_EQ(stored.mapTransparency, defaults.mapTransparency);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->detailChoice->value(), 0);
}

}  // namespace
}  // namespace fan::testing
