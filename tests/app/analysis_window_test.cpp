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

// A shown App in English whose result holds 600 files m0.. in "Дом", and a file in the root with control characters
// and a byte that is not UTF-8 in its name; the analysis window over it.
struct AnalysisTest : ::testing::Test {
    AnalysisTest() {
        uiLanguage = 1;
        folder = tree.folder(0, "Дом");
        for (int i = 0; i < 600; ++i)
            tree.file(folder, "m" + std::to_string(i), 1000 + i);
        tree.file(0, "a\tb\nc\rd\xFF", 1 << 20);
        app->result = std::make_unique<Tree>(tree.finish());
    }
    AnalysisWindow& open() {
        app->showAnalysis();
        settle(0.05);
        return *app->analysisWindow;
    }
    // Search mode, then `typed` as one key press into the empty search field.
    AnalysisWindow& search(std::string typed) {
        AnalysisWindow& window = open();
        window.queryInput->value("");
        window.modeChoice->value(1);
        window.modeChoice->do_callback();
        window.queryInput->take_focus();
        Fl::e_text = typed.data();
        Fl::e_length = static_cast<int>(typed.size());
        Fl::handle(FL_KEYBOARD, &window);
        settle(0.05);
        return window;
    }
    std::string row(int line) { return app->analysisWindow->resultsBrowser->text(line); }
    std::string status() { return app->analysisWindow->statusBox->label(); }
    // A click on the first row; with `clicks` 1, the second click of a double click.
    void clickFirstRow(int clicks) {
        Fl::e_clicks = clicks;
        Fl_Widget* list = app->analysisWindow->resultsBrowser;
        for (int event : {FL_PUSH, FL_RELEASE})
            sendEvent(list->window(), event, list->x() + 30, list->y() + 8);
    }
    ShownApp app;
    TreeBuilder tree;
    uint64_t folder;
};

TEST_F(AnalysisTest, LargestFilesListsTwoHundredWithOddNamesShownReadably) {
    AnalysisWindow& window = open();
    ASSERT_EQ(window.resultsBrowser->size(), 200);
    EXPECT_EQ(row(1), "1.00 MiB\troot/a\\tb\\nc\\rd\xEF\xBF\xBD");
    EXPECT_EQ(status(), std::string("Showing 200 ") + uiText(txtLargestFilesStatus));
}

TEST_F(AnalysisTest, ADoubleClickRevealsAFileThirdInItsFoldersList) {
    AnalysisWindow& window = search("m300");
    clickFirstRow(0);
    EXPECT_TRUE(window.visible());
    clickFirstRow(1);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, folder);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
    EXPECT_EQ(app->map->hoveredNode, window.rowNodes[0]);
    EXPECT_EQ(app->map->listScroll, 297);  // 299 larger files above it
    EXPECT_EQ(app->pathInput->value(), app->result->nodePath(folder).string());
}

TEST_F(AnalysisTest, RevealingAFileOfTheFolderShownLeavesTheBackStack) {
    app->openNode(folder, true);
    AnalysisWindow& window = search("m300");
    window.resultsBrowser->value(1);
    click(window.revealButton);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
}

}  // namespace
}  // namespace fan::testing
