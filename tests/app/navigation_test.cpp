#include <FL/Fl_Input.H>

#include <thread>

#include "app/scan_worker_launch.h"
#include "app_test_support.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

// A shown App holding the small tree as its result, at the root.
struct NavigationTest : ::testing::Test, SmallTree {
    NavigationTest() { app->result = std::make_unique<Tree>(tree); }
    ShownApp app;
};

TEST_F(NavigationTest, OpenPushesTheFolderLeftAndBackPushesNothing) {
    app->openNode(1, true);
    app->openNode(2, true);
    EXPECT_EQ(app->nodeHistory, (std::vector<uint64_t>{0, 1}));
    EXPECT_EQ(app->pathInput->value(), tree.nodePath(2).native());
    App::onUp(nullptr, app);
    App::onBack(nullptr, app);  // back to A1
    App::onBack(nullptr, app);
    EXPECT_EQ(app->currentNode, 1u);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
}

TEST_F(NavigationTest, AMountPointGetsAScanOfItsOwnAndBackRescansTheFolderViewed) {
    app->openNode(1, true);
    app->openNode(4, true);
    EXPECT_EQ(app->rootHistory, std::vector{tree.nodePath(1)});
    EXPECT_TRUE(rescanned(*app, tree.nodePath(4)));
    EXPECT_TRUE(app->backButton->active());
    App::onBack(nullptr, app);
    EXPECT_TRUE(rescanned(*app, tree.nodePath(1)));
    EXPECT_TRUE(app->rootHistory.empty());
    EXPECT_FALSE(app->backButton->active());
}

TEST_F(NavigationTest, BackDuringAScanKeepsTheRootsBehind) {
    app->rootHistory = {tree.nodePath(1)};
    app->scanning = true;
    App::onBack(nullptr, app);
    EXPECT_EQ(app->rootHistory, std::vector{tree.nodePath(1)});
}

TEST_F(NavigationTest, F5ForgetsTheRootsBehind) {
    app->openNode(1, true);
    app->openNode(4, true);
    ASSERT_TRUE(scanEnded(*app));
    sendKey(app, FL_F + 5);
    EXPECT_TRUE(app->rootHistory.empty());
}

TEST_F(NavigationTest, BackspaceGoesUpAndAltLeftGoesBackButNotWhileTyping) {
    enum Focus { Map, PathField };
    const struct {
        const char* row;
        int key;
        int state;
        Focus focus;
        int used;
        uint64_t node;
    } cases[] = {
        {"Backspace", FL_BackSpace, 0, Map, 1, 1},
        {"Backspace in the path field", FL_BackSpace, 0, PathField, 0, 2},
        {"Alt+Left", FL_Left, FL_ALT, Map, 1, 1},
        {"Left", FL_Left, 0, Map, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        app->openNode(1, true);
        app->openNode(2, true);
        Fl::focus(c.focus == PathField ? static_cast<Fl_Widget*>(app->pathInput) : app->map);
        // As the toolkit passes on a key the focused widget did not use.
        Fl::e_keysym = c.key;
        Fl::e_state = c.state;
        EXPECT_EQ(app->handle(FL_SHORTCUT), c.used);
        Fl::e_state = 0;
        EXPECT_EQ(app->currentNode, c.node);
    }
}

// A scan that runs until it is asked to stop.
struct StoppedScanTest : ::testing::Test {
    StoppedScanTest() { scanWorkerLauncher = walkOnceStopped; }
    ~StoppedScanTest() override { scanWorkerLauncher = launchScanWorkerThread; }
};

TEST_F(StoppedScanTest, EscapeStopsAScanAndLeavesCancelActive) {
    ShownApp app;
    app->start("/", false);
    sendKey(app, FL_Escape);
    EXPECT_EQ(app->statusText.rfind(uiText(txtStopping), 0), 0u) << app->statusText;
    EXPECT_TRUE(app->cancelButton->active());
    EXPECT_TRUE(scanEnded(*app));
}

// The walker, watched from outside the App; it lingers a little after the
// walk, so that only a join, not a detached thread, sees it end.
std::atomic<bool> walking{false};
std::thread watchedWalk(App& app, std::filesystem::path path) {
    walking = true;
    return std::thread([walk = walkOnceStopped(app, path)]() mutable {
        walk.join();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        walking = false;
    });
}

TEST_F(StoppedScanTest, ClosingDuringAScanStopsTheWalkerAndWaitsForIt) {
    scanWorkerLauncher = watchedWalk;
    ShownApp app;
    app->start("/", false);
    sendCloseRequest(app);
    EXPECT_TRUE(runUntil([&] { return !app->shown(); }, 5));
    const auto before = std::chrono::steady_clock::now();
    app.app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30)) << "the walk was not stopped";
    EXPECT_FALSE(walking);
}

}  // namespace
}  // namespace fan::testing
