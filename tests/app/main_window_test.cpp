#include "app_test_support.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/x.H>

#include "app/analysis_window.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "app/startup.h"
#include "ui/icon_button.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"

namespace fan::testing {
namespace {

TEST(MainWindow, LayoutFollowsTheWidth) {
    ShownApp app;
    app->resize(0, 0, 1120, 780);
    const std::pair<Fl_Widget*, const char*> places[] = {
        {app->pathInput, "284,65 520x36"},       {app->scanButton, "816,65 142x36"},
        {app->cancelButton, "970,65 126x36"},    {app->fileSystemsChoice, "24,115 420x30"},
        {app->detailChoice, "930,115 166x30"},   {app->map, "0,158 1120x584"},
        {app->statusBar, "14,746 1022x28"},      {app->emptyTrashButton, "1042,746 32x28"},
        {app->openTrashButton, "1080,746 32x28"}};
    for (const auto& [w, place] : places) {
        const std::string actual = std::to_string(w->x()) + "," + std::to_string(w->y()) + " " +
                                   std::to_string(w->w()) + "x" + std::to_string(w->h());
        EXPECT_EQ(actual, place);
    }
    // The path field and the file-systems menu about their limits.
    const struct {
        int width, path, menu;
    } cases[] = {{884, 284, 420}, {883, 283, 419}, {819, 220, 355}, {763, 220, 300}};
    for (const auto& c : cases) {
        app->layoutControls(c.width, 780);
        EXPECT_EQ(app->pathInput->w(), c.path) << c.width;
        EXPECT_EQ(app->fileSystemsChoice->w(), c.menu) << c.width;
    }
}

TEST(MainWindow, NavigationHintNeedsA150PixelGap) {
    ShownApp app;
    const struct {
        int width, gapLeft, gapWidth;
        bool drawn;
    } cases[] = {{700, 342, 150, true}, {699, 342, 149, false}};
    for (const auto& c : cases) {
        app->layoutControls(c.width, 780);
        const Canvas canvas(c.width, 780, [&] {
            app->damage(FL_DAMAGE_ALL);
            app->draw();
        });
        const int ink = c.gapWidth * 30 - canvas.countIn(c.gapLeft, 115, c.gapWidth, 30, themeBackground);
        EXPECT_EQ(ink > 0, c.drawn) << c.width;
    }
}

TEST(MainWindow, ControlsFollowTheScanAndTheHistories) {
    ShownApp app;
    TreeBuilder built;
    built.folder(0, "sub");
    // Active controls: Open, Path, Scan, Menu, Cancel, Trash, Back, Up, Analysis.
    const struct {
        bool scanning, hasResult;
        uint64_t node;
        bool nodeHistory, rootHistory;
        const char* active;
    } cases[] = {
        {false, false, 0, false, false, "OPSM.T..."}, {true, false, 0, false, true, "....C...."},
        {false, false, 0, false, true, "OPSM.TB.."},  {false, true, 0, false, false, "OPSM.T..A"},
        {false, true, 1, true, false, "OPSM.TBUA"},   {true, true, 1, true, false, "....C.BU."},
    };
    for (const auto& c : cases) {
        app->scanning = c.scanning;
        app->result = c.hasResult ? std::make_unique<Tree>(built.finish()) : nullptr;
        app->currentNode = c.node;
        app->nodeHistory.assign(c.nodeHistory, 0);
        app->rootHistory.assign(c.rootHistory, "/tmp");
        app->updateControls();
        const Fl_Widget* controls[] = {app->openFolderButton,  app->pathInput,    app->scanButton,
                                       app->fileSystemsChoice, app->cancelButton, app->emptyTrashButton,
                                       app->backButton,        app->upButton,     app->analysisButton};
        std::string active;
        for (size_t i = 0; i < 9; ++i)
            active += controls[i]->active() ? "OPSMCTBUA"[i] : '.';
        EXPECT_EQ(active, c.active);
    }
    app->scanning = false;
}

// Each window's X class names the program, as its desktop entry does.
TEST(MainWindow, EveryWindowCarriesTheProgramsClass) {
    ShownApp app;
    App::showSettings(nullptr, app);
    App::showHelp(nullptr, app);
    app->showAnalysis();
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
