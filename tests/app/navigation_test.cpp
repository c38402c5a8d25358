#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Input.H>

#include <chrono>
#include <string>
#include <thread>

#include "app/scan_worker_launch.h"
#include "app_test_support.h"
#include "core/temp_tree.h"
#include "core/tree_builder.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"
#include "ui/ui_test_support.h"

namespace fan::testing {
namespace {

// root/A/A1, root/A/M (another file system's mount point), root/B, root/f.
struct Folders {
    TempTree disk;
    Tree tree;
    uint64_t a, a1, m, b, f;

    Folders() {
        disk.file("A/A1/x", 100);
        disk.file("A/M/y", 700);
        disk.file("B/z", 50);
        TreeBuilder built;
        built.tree = treeWithRoot(disk.root().string());
        a = built.folder(0, "A");
        a1 = built.folder(a, "A1");
        built.file(a1, "x", 100);
        m = addNode(built.tree, a, "M", 0, true, 0);
        b = built.folder(0, "B");
        f = built.file(0, "f", 10);
        tree = built.finish();
        tree.mounts.push_back(MountEntry{});
        tree.mounts[0].mountPoint = (disk.root() / "A/M").string();
    }
    std::string path(uint64_t node) const { return tree.nodePath(node).string(); }
};

bool scanEnded(App& app) { return runUntil([&] { return !app.scanning; }); }

TEST(Navigation, OpenUpAndBackWithinAResultAndAcrossAMountPointScan) {
    Folders folders;
    ShownApp app;
    app->result = std::make_unique<Tree>(folders.tree);

    // Nothing happens for a file, the current folder, no node, a node
    // beyond the end, or a mount point while a scan runs.
    app->scanning = true;
    for (uint64_t node : {folders.f, uint64_t{0}, kNoNode, uint64_t(folders.tree.nodes.size()), folders.m})
        app->openNode(node, true);
    app->scanning = false;
    EXPECT_EQ(app->currentNode, 0u);
    EXPECT_TRUE(app->nodeHistory.empty() && app->rootHistory.empty());

    app->openNode(folders.a, true);
    app->openNode(folders.a1, true);
    EXPECT_EQ(app->nodeHistory, (std::vector<uint64_t>{0, folders.a}));
    EXPECT_EQ(std::string(app->pathInput->value()), folders.path(folders.a1));
    App::onUp(nullptr, &*app);
    EXPECT_EQ(app->currentNode, folders.a);
    App::onBack(nullptr, &*app);  // back to A1, pushing nothing
    App::onBack(nullptr, &*app);
    EXPECT_EQ(app->currentNode, folders.a);
    EXPECT_EQ(app->nodeHistory, (std::vector<uint64_t>{0}));

    // The mount point is scanned on its own; Back returns to A by a rescan.
    app->openNode(folders.m, true);
    EXPECT_EQ(app->rootHistory, (std::vector<std::filesystem::path>{folders.path(folders.a)}));
    ASSERT_TRUE(scanEnded(*app));
    ASSERT_NE(app->result, nullptr);
    EXPECT_EQ(app->result->root, folders.path(folders.m));
    EXPECT_TRUE(app->backButton->active());
    App::onBack(nullptr, &*app);
    ASSERT_TRUE(scanEnded(*app));
    EXPECT_EQ(app->result->root, folders.path(folders.a));
    EXPECT_TRUE(app->rootHistory.empty());
    EXPECT_FALSE(app->backButton->active());
}

TEST(Navigation, KeyTable) {
    Folders folders;
    ASSERT_EQ(folders.a1, 2u);
    const struct {
        const char* row;
        int key, state;
        bool scanning, pathFocus, atRoot, emptyPath;
        int used;
        uint64_t nodeAfter;
        bool stopped, scanStarted;
    } cases[] = {
        {"Backspace in the path field", FL_BackSpace, 0, false, true, false, false, 0, 2, false, false},
        {"Backspace", FL_BackSpace, 0, false, false, false, false, 1, 1, false, false},
        {"Backspace at the root", FL_BackSpace, 0, false, false, true, false, 1, 0, false, false},
        {"Left", FL_Left, 0, false, false, false, false, 0, 2, false, false},
        {"Alt+Left", FL_Left, FL_ALT, false, false, false, false, 1, 1, false, false},
        {"Alt+Left with nothing behind", FL_Left, FL_ALT, false, false, true, false, 1, 0, false, false},
        {"Escape, idle", FL_Escape, 0, false, false, false, false, 0, 2, false, false},
        {"Escape, scanning", FL_Escape, 0, true, false, false, false, 1, 2, true, false},
        {"F1", FL_F + 1, 0, false, false, false, false, 1, 2, false, false},
        {"Ctrl+F, scanning", 'f', FL_CTRL, true, false, false, false, 1, 2, false, false},
        {"Ctrl+Shift+F", 'F', FL_CTRL | FL_SHIFT, false, false, false, false, 1, 2, false, false},
        {"F alone", 'f', 0, false, false, false, false, 0, 2, false, false},
        {"F5, scanning", FL_F + 5, 0, true, false, false, false, 0, 2, false, false},
        {"F5", FL_F + 5, 0, false, false, false, false, 1, 0, false, true},
        {"F5, empty path", FL_F + 5, 0, false, false, false, true, 1, 2, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ShownApp app;
        app->result = std::make_unique<Tree>(folders.tree);
        if (!c.atRoot) {
            app->openNode(folders.a, true);
            app->openNode(folders.a1, true);
        }
        if (c.emptyPath) app->pathInput->value("");
        if (c.pathFocus) Fl::focus(app->pathInput);
        app->scanning = c.scanning;
        EXPECT_EQ(sendShortcut(*app, c.key, c.state), c.used);
        EXPECT_EQ(app->scanProgress.stop.load(), c.stopped);
        EXPECT_EQ(app->scanning && !c.scanning, c.scanStarted);
        if (c.scanStarted) {
            EXPECT_TRUE(scanEnded(*app));
            continue;
        }
        EXPECT_EQ(app->currentNode, c.nodeAfter);
        app->scanning = false;
    }
}

// A walker that runs until it is told to stop, then leaves a stopped result.
std::thread walkUntilStopped(App& app, std::filesystem::path) {
    return std::thread([&app] {
        while (!app.scanProgress.stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        app.pendingResult = std::make_unique<Tree>(treeWithRoot("/stopped"));
        app.pendingResult->stopped = true;
        app.workerDone.store(true);
    });
}

TEST(Navigation, EscapeStopsAScanAndLeavesCancelActive) {
    scanWorkerLauncher = walkUntilStopped;
    ShownApp app;
    uiLanguage = 1;
    app->start("/anywhere", false);
    settle(0.3);
    EXPECT_TRUE(app->scanning);
    sendKey(app.app.get(), FL_Escape);
    EXPECT_TRUE(app->scanProgress.stop.load());
    EXPECT_EQ(app->statusText.rfind(uiText(txtStopping), 0), 0u) << app->statusText;
    EXPECT_TRUE(app->cancelButton->active());
    EXPECT_TRUE(app->shown());
    ASSERT_TRUE(scanEnded(*app));
    EXPECT_TRUE(app->result != nullptr && app->result->stopped);
    scanWorkerLauncher = launchScanWorkerThread;

    sendKey(app.app.get(), FL_Escape);  // no scan: the window closes
    EXPECT_FALSE(app->shown());
}

TEST(Navigation, ClosingDuringAScanWaitsForTheWalkerAndSavesTheSettings) {
    const std::filesystem::path store = testConfigHome() / "fanOrbiter" / "settings.conf";
    std::filesystem::remove(store);
    ShownApp app;
    app->start("/", false);
    settle(0.3);
    ASSERT_TRUE(app->scanning && !app->workerDone.load()) << "the walk ended before the window closed";
    sendCloseRequest(app.app.get());
    ASSERT_TRUE(runUntil([&] { return !app->shown(); }, 5));
    const auto before = std::chrono::steady_clock::now();
    app.app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_TRUE(std::filesystem::exists(store));
}

}  // namespace
}  // namespace fan::testing
