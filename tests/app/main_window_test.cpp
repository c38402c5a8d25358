#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <string>

#include "app/startup.h"
#include "app_test_support.h"
#include "core/temp_tree.h"
#include "core/tree_builder.h"
#include "texts/ui_texts.h"
#include "ui/icon_button.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"
#include "ui/ui_test_support.h"

namespace fan::testing {
namespace {

std::string place(const Fl_Widget* w) {
    return std::to_string(w->x()) + "," + std::to_string(w->y()) + " " + std::to_string(w->w()) + "x" +
           std::to_string(w->h());
}

TEST(MainWindow, LayoutFollowsTheWidth) {
    ShownApp app;
    app->resize(0, 0, 1120, 780);
    EXPECT_EQ(place(app->pathInput), "284,65 520x36");
    EXPECT_EQ(place(app->scanButton), "816,65 142x36");
    EXPECT_EQ(place(app->cancelButton), "970,65 126x36");
    EXPECT_EQ(place(app->fileSystemsChoice), "24,115 420x30");
    EXPECT_EQ(place(app->detailChoice), "930,115 166x30");
    EXPECT_EQ(place(app->map), "0,158 1120x584");
    EXPECT_EQ(place(app->statusBar), "14,746 1022x28");
    EXPECT_EQ(place(app->openTrashButton), "1080,746 32x28");

    // The path field and the file-systems menu around their limits.
    const struct { int width, pathWidth, menuWidth; } cases[] = {
        {884, 284, 420}, {883, 283, 419}, {820, 220, 356}, {819, 220, 355}, {764, 220, 300}, {763, 220, 300},
    };
    for (const auto& c : cases) {
        app->layoutControls(c.width, 780);
        EXPECT_EQ(app->pathInput->w(), c.pathWidth) << c.width;
        EXPECT_EQ(app->fileSystemsChoice->w(), c.menuWidth) << c.width;
    }
}

TEST(MainWindow, NavigationHintNeedsA150PixelGap) {
    ShownApp app;
    const struct { int width, gapLeft, gapWidth; bool drawn; } cases[] = {
        {1120, 462, 450, true}, {700, 342, 150, true}, {699, 342, 149, false}};
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
    const uint64_t sub = built.folder(0, "sub");
    const Tree tree = built.finish();
    // Active controls, in the order: open, path, scan, menu, cancel, trash, back, up, analysis.
    const struct { bool scanning, hasResult; uint64_t node; bool nodeHistory, rootHistory; const char* active; } cases[] = {
        {false, false, 0, false, false, "OPSM.T..."},
        {true, false, 0, false, true, "....C...."},
        {false, false, 0, false, true, "OPSM.TB.."},
        {false, true, 0, false, false, "OPSM.T..A"},
        {false, true, sub, true, false, "OPSM.TBUA"},
        {true, true, sub, true, false, "....C.BU."},
    };
    for (const auto& c : cases) {
        app->scanning = c.scanning;
        app->result = c.hasResult ? std::make_unique<Tree>(tree) : nullptr;
        app->currentNode = c.node;
        app->nodeHistory.assign(c.nodeHistory ? 1 : 0, 0);
        app->rootHistory.assign(c.rootHistory ? 1 : 0, "/tmp");
        app->updateControls();
        std::string active;
        const Fl_Widget* controls[] = {app->openFolderButton, app->pathInput,     app->scanButton,
                                       app->fileSystemsChoice, app->cancelButton, app->emptyTrashButton,
                                       app->backButton,       app->upButton,      app->analysisButton};
        for (size_t i = 0; i < 9; ++i) active += controls[i]->active() ? "OPSMCTBUA"[i] : '.';
        EXPECT_EQ(active, c.active);
    }
    app->scanning = false;
}

TEST(MainWindow, DetailModeOutlivesTheWindowWhenRemembered) {
    for (const bool remember : {true, false}) {
        {
            App app;
            app.settings.rememberDepth = remember;
            app.settings.defaultDepth = 1;
            app.detailChoice->value(2);
        }
        App next;
        EXPECT_EQ(next.settings.lastDepth, 2);
        EXPECT_EQ(next.detailChoice->value(), remember ? 2 : 1);
    }
}

TEST(StartUp, TakesTheFirstArgumentAsBytes) {
    char program[] = "fanorbiter", first[] = "/tmp/\xff\xfe-not-utf8", second[] = "/usr", empty[] = "";
    char* one[] = {program, first};
    char* two[] = {program, first, second};
    char* blank[] = {program, empty};
    EXPECT_TRUE(folderArgument(1, one).empty());
    EXPECT_EQ(folderArgument(2, one).native(), first);
    EXPECT_EQ(folderArgument(3, two).native(), first);
    EXPECT_TRUE(folderArgument(2, blank).empty());
}

// Runs the program as main does; `inspect` sees the main window on each
// tick of the event loop and returns true once the window may be closed.
const std::function<bool(App&)>* inspector = nullptr;
int ticksLeft = 0;

void inspectMainWindow(void*) {
    auto* app = dynamic_cast<App*>(Fl::first_window());
    if (app != nullptr && ((*inspector)(*app) || --ticksLeft == 0)) {
        EXPECT_GT(ticksLeft, 0) << "the window never reached the expected state";
        app->hide();
        return;
    }
    Fl::repeat_timeout(0.05, inspectMainWindow);
}

int runInspected(std::vector<char*> args, const std::function<bool(App&)>& inspect) {
    inspector = &inspect;
    ticksLeft = 200;
    Fl::add_timeout(0.1, inspectMainWindow);
    return runProgram(int(args.size()), args.data());
}

TEST(StartUp, WithoutAFolderWaitsIdle) {
    char program[] = "fanorbiter";
    EXPECT_EQ(runInspected({program}, [](App& app) {
                  EXPECT_FALSE(app.scanning);
                  EXPECT_EQ(app.statusText, uiText(txtIdlePrompt));
                  for (Fl_Widget* w : {app.cancelButton, app.backButton, app.upButton, app.analysisButton})
                      EXPECT_FALSE(w->active());
                  return true;
              }),
              0);
}

TEST(StartUp, ScansTheFirstOfTwoFoldersEvenWhenItsNameIsNotUtf8) {
    TempTree temp;
    const std::string folder = temp.folder("\xff\xfe").string();
    temp.file("\xff\xfe/data", 5000);
    char program[] = "fanorbiter", other[] = "/usr";
    std::string first = folder;
    EXPECT_EQ(runInspected({program, first.data(), other}, [&](App& app) {
                  if (app.result == nullptr) return false;
                  EXPECT_EQ(app.result->root.native(), folder);
                  EXPECT_EQ(app.result->nodes[0].size, 5000u);
                  EXPECT_EQ(std::string(app.pathInput->value()), folder);
                  return true;
              }),
              0);
}

}  // namespace
}  // namespace fan::testing
