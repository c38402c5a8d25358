#include "app_test_support.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/x.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "app/startup.h"
#include "ui/icon_button.h"

namespace fan::testing {
namespace {

// Empty Trash left of Open Trash, both at the right end of the status row.
TEST(MainWindow, TheTrashButtonsSitAtTheRightEndOfTheStatusRow) {
    ShownApp app;
    app->resize(0, 0, 1120, 780);
    EXPECT_EQ(app->emptyTrashButton->x(), 1042);
    EXPECT_EQ(app->openTrashButton->x(), 1080);
    EXPECT_EQ(app->openTrashButton->y(), 746);
}

TEST(MainWindow, TheEmptyTrashButtonsTooltipSaysWhatItDoes) {
    ShownApp app;
    const struct {
        int language;
        const char* tooltip;
    } rows[] = {{1, "Empty Trash permanently. A confirmation will be requested first."},
                {0, "Очистить корзину безвозвратно. Перед очисткой будет запрошено подтверждение."}};
    for (const auto& row : rows) {
        app->setLanguage(row.language);
        EXPECT_STREQ(app->emptyTrashButton->tooltip(), row.tooltip);
    }
}

// Each window's X class names the program, as its desktop entry does.
TEST(MainWindow, EveryWindowCarriesTheProgramsClass) {
    ShownApp app;
    showEveryWindow(*app);
    settle(0.1);
    const std::pair<const char*, Fl_Window*> windows[] = {
        {"main", app}, {"settings", app->settingsWindow}, {"help", app->helpWindow}, {"analysis", app->analysisWindow}};
    for (const auto& [name, window] : windows) {
        SCOPED_TRACE(name);
        XClassHint hint{};
        ASSERT_NE(XGetClassHint(fl_display, fl_xid(window), &hint), 0);
        EXPECT_STREQ(hint.res_name, "fanorbiter");
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
}

// The toolbar's mode at start-up is the stored start-up mode; the mode
// chosen last becomes it only when the setting says so, also on closing.
TEST(MainWindow, TheLastDetailModeIsTheNextStartsOnlyWhenRemembered) {
    const struct {
        const char* name;
        bool remember;
        int nextStart;
    } rows[] = {{"remembered", true, 2}, {"not remembered", false, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Settings stored;
        stored.defaultDepth = 1;
        stored.lastDepth = 0;
        stored.rememberDepth = row.remember;
        saveSettings(stored);
        auto app = std::make_unique<App>();
        EXPECT_EQ(app->detailChoice->value(), 1);
        app->detailChoice->value(2);
        app->detailChoice->do_callback();
        app.reset();
        EXPECT_EQ(loadSettings().lastDepth, 2);
        EXPECT_EQ(loadSettings().defaultDepth, row.nextStart);
        EXPECT_EQ(App().detailChoice->value(), row.nextStart);
    }
    saveSettings(Settings{});  // for the tests after this one
}

// Checks the main window on each tick once the program's event loop runs.
TempTree* started = nullptr;
void checkStartedScan(void*) {
    auto* app = dynamic_cast<App*>(Fl::first_window());
    if (app == nullptr || app->result == nullptr) return Fl::repeat_timeout(0.05, checkStartedScan);
    EXPECT_EQ(app->result->root, started->root() / "\xff");
    EXPECT_EQ(app->result->nodes[0].size, 5000u);
    EXPECT_EQ(app->pathInput->value(), app->result->root.native());
    EXPECT_EQ(frameThemeOf(app), darkTheme ? "dark" : "light");  // the frame themed from the start
    app->hide();
}

// The first argument as its bytes; the ones after it are not looked at.
TEST(StartUp, ScansAFolderWhoseNameIsNotUtf8) {
    TempTree temp;
    temp.file("\xff/data", 5000);
    started = &temp;
    std::string program = "fanorbiter", folder = (temp.root() / "\xff").string(), second = "/usr";
    char* args[] = {program.data(), folder.data(), second.data()};
    EXPECT_TRUE(folderArgument(1, args).empty());
    Fl::add_timeout(0.1, checkStartedScan);
    EXPECT_EQ(runProgram(3, args), 0);
}

}  // namespace
}  // namespace fan::testing
