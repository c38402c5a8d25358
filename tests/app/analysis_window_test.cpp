#include "app_test_support.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>

#include "app/analysis_window.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

// A shown App with no result, in English, and the analysis window over it.
struct AnalysisTest : ::testing::Test {
    AnalysisTest() { uiLanguage = 1; }
    AnalysisWindow& open() {
        app->showAnalysis();
        settle(0.05);
        return *app->analysisWindow;
    }
    // Search mode, then each key as a key press into the search field.
    AnalysisWindow& search(const std::vector<std::string>& keys) {
        AnalysisWindow& window = open();
        window.queryInput->value("");
        window.modeChoice->value(1);
        window.modeChoice->do_callback();
        window.queryInput->take_focus();
        for (const std::string& key : keys) {
            Fl::e_text = const_cast<char*>(key.c_str());
            Fl::e_length = static_cast<int>(key.size());
            Fl::handle(FL_KEYBOARD, &window);
        }
        settle(0.05);
        return window;
    }
    std::string row(int line) { return app->analysisWindow->resultsBrowser->text(line); }
    std::string status() { return app->analysisWindow->statusBox->label(); }
    // With the pointer on the widget's first row.
    void click(Fl_Widget* w, int clicks = 0) {
        Fl::e_clicks = clicks;
        for (int event : {FL_PUSH, FL_RELEASE})
            sendEvent(w->window(), event, w->x() + 30, w->y() + 8);
    }
    ShownApp app;
};

// As AnalysisTest, with a result: 600 files m0.. in "Дом", which also holds
// the folder Deep, and two files in the root, one with control characters
// and a byte that is not UTF-8 in its name.
struct AnalysisOfATree : AnalysisTest {
    AnalysisOfATree() {
        folder = tree.folder(0, "Дом");
        for (int i = 0; i < 600; ++i)
            tree.file(folder, "m" + std::to_string(i), 1000 + i);
        deep = tree.folder(folder, "Deep");
        tree.file(0, "a\tb\nc\rd\xFF", 1 << 20);
        tree.file(0, "ФАЙЛ", 1);
        app->result = std::make_unique<Tree>(tree.finish());
    }
    TreeBuilder tree;
    uint64_t folder;
    uint64_t deep;
};

TEST_F(AnalysisTest, BeforeAnyScanAsksForOne) {
    open();
    EXPECT_EQ(status(), uiText(txtScanFirst));
}

TEST_F(AnalysisOfATree, LargestFilesListsTwoHundredWithOddNamesShownReadably) {
    AnalysisWindow& window = open();
    ASSERT_EQ(window.resultsBrowser->size(), 200);
    EXPECT_EQ(row(1), "1.00 MiB\troot/a\\tb\\nc\\rd\xEF\xBF\xBD");
    EXPECT_EQ(status(), std::string("Showing 200 ") + uiText(txtLargestFilesStatus));
    EXPECT_FALSE(window.queryInput->active());
}

TEST_F(AnalysisOfATree, SearchRefreshesAtEveryKey) {
    const struct {
        std::vector<std::string> keys;
        int rows;
        std::string status;
        std::string first;
    } steps[] = {
        {{}, 0, uiText(txtEnterQuery), ""},
        {{"M"}, 500, "Found: 500 (showing first 500)", "1000 B\troot/Дом/m0"},
        {{"ф", "а"}, 1, "Found: 1", "1 B\troot/ФАЙЛ"},
        {{"д", "О"}, 1, "Found: 1", "761.4 KiB\t[folder] root/Дом"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.status);
        AnalysisWindow& window = search(step.keys);
        EXPECT_EQ(window.resultsBrowser->size(), step.rows);
        EXPECT_EQ(status(), step.status);
        EXPECT_EQ(step.rows > 0 ? row(1) : "", step.first);
        EXPECT_EQ(window.revealButton->active(), step.rows > 0);
    }
}

TEST_F(AnalysisOfATree, ADoubleClickRevealsAFileThirdInItsFoldersList) {
    AnalysisWindow& window = search({"m", "3", "0", "0"});
    click(window.resultsBrowser);
    EXPECT_EQ(window.resultsBrowser->value(), 1);
    EXPECT_TRUE(window.visible());
    click(window.resultsBrowser, 1);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, folder);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
    EXPECT_EQ(app->map->hoveredNode, window.rowNodes[0]);
    EXPECT_EQ(app->map->listScroll, 297);  // 299 larger files above it
    EXPECT_EQ(app->pathInput->value(), app->result->nodePath(folder).string());
}

TEST_F(AnalysisOfATree, RevealingAFileOfTheFolderShownLeavesTheBackStack) {
    app->openNode(folder, true);
    AnalysisWindow& window = search({"m", "3", "0", "0"});
    window.resultsBrowser->value(1);
    click(window.revealButton);
    EXPECT_EQ(app->currentNode, folder);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
    EXPECT_EQ(app->map->hoveredNode, window.rowNodes[0]);
}

TEST_F(AnalysisOfATree, KeysOnlyMoveTheSelection) {
    AnalysisWindow& window = search({"m", "3", "0"});
    click(window.resultsBrowser, 1);
    search({"m", "3", "0"}).resultsBrowser->take_focus();
    sendKey(&window, FL_Down);
    EXPECT_TRUE(window.visible());
    EXPECT_GT(window.resultsBrowser->value(), 0);
}

TEST_F(AnalysisOfATree, RevealingAFolderOpensIt) {
    AnalysisWindow& window = search({"d", "e", "e", "p"});
    window.resultsBrowser->value(1);
    click(window.revealButton);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, deep);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
}

// The open window follows a scan's end; a scan's start leaves its rows
// pointing nowhere, so a reveal only closes it.
TEST_F(AnalysisTest, RowsFollowAScansEndAndAScansStartLeavesThemInert) {
    TempTree disk;
    disk.file("big", 5000);
    AnalysisWindow& window = open();
    app->start(disk.root(), false);
    ASSERT_TRUE(scanEnded(*app));
    EXPECT_EQ(row(1), "4.88 KiB\t" + (disk.root() / "big").string());
    app->start(disk.root(), false);
    window.resultsBrowser->value(1);
    click(window.revealButton);
    EXPECT_EQ(app->currentNode, 0u);
    EXPECT_EQ(app->map->hoveredNode, kNoNode);
    EXPECT_FALSE(window.visible());
}

}  // namespace
}  // namespace fan::testing
