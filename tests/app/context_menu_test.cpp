// The context menu and the Trash buttons of a real App, answered through their windows' events.
#include <FL/Fl_Input.H>

#include "app/context_menu_items.h"
#include "shell/shell_calls_linux.h"
#include "app_test_support.h"
#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"

namespace fan::testing {
namespace {

using Step = std::function<void()>;
using std::filesystem::exists;
ModernDialog* dialog() {
    return dynamic_cast<ModernDialog*>(Fl::grab());
}
Step row(int r) {
    return [r] { sendClick(Fl::grab(), 160, 30 + 42 * r + 12 * (r > 2) + 12 * (r > 3)); };
}
// Escape and a close request answer as Cancel does; the dialog's own tests check that.
const Step ok = [] { click(dialog()->child(0)); };
const Step cancel = [] { click(dialog()->child(1)); };
Step failed(std::string start) {  // "Action failed", the message beginning with `start`
    return [start] {
        EXPECT_EQ(dialog()->title, "Action failed");
        EXPECT_EQ(dialog()->message.substr(0, start.size()), start);
        sendKey(dialog(), FL_Escape);
    };
}

// The small tree (3 is A/A1/x, 4 the mount point A/M, 5 f\xff). The Trash is private, the only local
// volume is the tree's folder (no real volume's trash is emptied), the PATH holds no programs.
struct ContextMenuTest : ::testing::Test, SmallTree {
    TempTree data;
    ShownApp app;
    std::string path = ::getenv("PATH");
    const char* dataHome = ::getenv("XDG_DATA_HOME");
    std::string savedDataHome = dataHome ? dataHome : "";
    std::string mounts = shellCalls.mountTable;
    ContextMenuTest() {
        ::setenv("XDG_DATA_HOME", data.root().c_str(), 1);
        ::setenv("PATH", data.root().c_str(), 1);
        shellCalls.mountTable =
            data.write("mountinfo", "1 0 8:1 / " + canonical(disk.root()).string() + " rw - ext4 /dev/sda1 rw\n");
        uiLanguage = 1;
        app->result = std::make_unique<Tree>(tree);
    }
    ~ContextMenuTest() override {
        ::setenv("PATH", path.c_str(), 1);
        if (savedDataHome.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
        shellCalls.mountTable = mounts;
    }
    void run(const Step& open, const std::vector<Step>& steps) {
        ModalScript script(steps, steps.empty() ? 0.5 : 5.0);  // an unexpected window fails the test
        open();
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(script.timedOut());
    }
    void menu(uint64_t node, const std::vector<Step>& steps) {
        run([&] { app->showContextMenu(node); }, steps);
    }
};

TEST_F(ContextMenuTest, RowsFollowTheNode) {
    const uint64_t boundFile = addNode(tree, 0, "bound", 0, false, 0);  // a file bind mount
    const struct {
        const char* name;
        uint64_t node;
        uint64_t current;
        bool rescan;
        bool trash;
        const char* rescanLabel;
    } cases[] = {
        {"a file", 5, 0, false, true, "Rescan"},
        {"the current folder", 1, 1, true, false, "Rescan"},
        {"a mounted file", boundFile, 0, true, false, "Scan separately"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ContextMenuItem> items = contextMenuItems(tree, c.node, c.current);
        EXPECT_EQ(items[menuRescan].enabled, c.rescan);
        EXPECT_EQ(items[menuMoveToTrash].enabled, c.trash);
        EXPECT_EQ(items[menuRescan].label, c.rescanLabel);
    }
    tree.root = "/proc";
    tree.nodes[0].name = "/proc";
    EXPECT_FALSE(contextMenuItems(tree, 5, 0)[menuMoveToTrash].enabled) << "not on a local volume";
}

TEST_F(ContextMenuTest, TheMenuOpensAtThePointerWithItsRowsSpaced) {
    sendMove(app, 300, 200);
    menu(5, {[&] {
             EXPECT_EQ(Fl::grab()->x(), app->x() + 300);
             EXPECT_EQ(Fl::grab()->y(), app->y() + 200);
             EXPECT_EQ(Fl::grab()->w(), 320);
             EXPECT_EQ(Fl::grab()->h(), 262);  // 28, 42 a row, 12 a separator
             sendKey(Fl::grab(), FL_Escape);
         }});
}

TEST_F(ContextMenuTest, EachRowDoesItsAction) {
    for (uint64_t node : {kNoNode, uint64_t(6)})
        menu(node, {});
    menu(5, {row(0), failed("File manager failed (")});
    menu(5, {row(2), failed("Terminal failed (")});
    menu(5, {row(1)});
    app->pathInput->value("");
    Fl::paste(*app->pathInput, 1);
    EXPECT_EQ(app->pathInput->value(), (disk.root() / "f\xff").native());
    EXPECT_EQ(app->statusText, "Path copied");
    app->currentNode = 1;
    menu(4, {row(3)});  // another file system gets a scan of its own, and Back returns to A
    EXPECT_TRUE(rescanned(*app, disk.root() / "A/M"));
    EXPECT_EQ(app->rootHistory, std::vector{disk.root() / "A"});
    menu(1, {row(3)});  // a folder becomes the new root, and the history is dropped
    EXPECT_TRUE(rescanned(*app, disk.root() / "A/M/z"));
    EXPECT_TRUE(app->rootHistory.empty());
}

TEST_F(ContextMenuTest, TrashChangedOnlyWhenConfirmedAndTheViewedFolderScannedAfterAMove) {
    const Step empty = [&] { App::onEmptyTrash(nullptr, app); };
    app->scanning = true;  // Empty is refused during a scan, Open is not
    run(empty, {});
    run([&] { App::onOpenTrash(nullptr, app); }, {failed("")});
    app->scanning = false;
    std::filesystem::remove(disk.root() / "f\xff");  // the move fails: reported, no scan
    menu(5, {row(4), ok, failed("Trash")});
    EXPECT_FALSE(app->scanning);
    app->currentNode = 1;
    menu(3, {row(4), cancel});
    EXPECT_TRUE(exists(disk.root() / "A/A1/x"));
    menu(3, {row(4), ok});
    EXPECT_TRUE(exists(data.root() / "Trash/files/x"));
    EXPECT_TRUE(rescanned(*app, disk.root() / "A"));
    run(empty, {cancel});
    EXPECT_TRUE(exists(data.root() / "Trash/files/x"));
    run(empty, {ok});
    EXPECT_FALSE(exists(data.root() / "Trash/files/x"));
    EXPECT_EQ(app->statusText, "Trash emptied");
}

}  // namespace
}  // namespace fan::testing
