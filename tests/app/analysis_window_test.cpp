#include "app_test_support.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>

#include "app/analysis_window.h"
#include "core/temp_tree.h"
#include "core/tree_builder.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

// Each UTF-8 character as its own key press into the focused widget;
// backspaces as the BackSpace key.
void type(Fl_Window* window, const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const size_t n = text[i] == '\b' ? 1 : (static_cast<unsigned char>(text[i]) >= 0xC0 ? 2 : 1);
        const std::string key = text.substr(i, n);
        Fl::e_keysym = key == "\b" ? FL_BackSpace : 'a';
        Fl::e_text = const_cast<char*>(key.c_str());
        Fl::e_length = key == "\b" ? 0 : static_cast<int>(n);
        Fl::handle(FL_KEYBOARD, window);
        i += n;
    }
}

struct AnalysisTest : ::testing::Test {
    AnalysisWindow& open() {
        app->showAnalysis();
        settle(0.05);
        return *app->analysisWindow;
    }
    std::string row(int line) { return app->analysisWindow->resultsBrowser->text(line); }
    std::string status() { return app->analysisWindow->statusBox->label(); }
    void search(const std::string& text) {
        AnalysisWindow& window = open();
        window.modeChoice->value(1);
        window.queryInput->value("");
        window.modeChoice->do_callback();
        window.queryInput->take_focus();
        type(&window, text);
        settle(0.05);
    }
    ShownApp app;
};

TEST_F(AnalysisTest, LargestFilesAndSearchByName) {
    AnalysisWindow& window = open();
    EXPECT_EQ(status(), uiText(txtScanFirst));
    EXPECT_FALSE(window.revealButton->active());

    TreeBuilder tree;
    const uint64_t folder = tree.folder(0, "Дом");
    for (int i = 0; i < 600; ++i) tree.file(folder, "m" + std::to_string(i), 1000 + i);
    tree.file(0, "a\tb\nc\rd", 1 << 20);
    tree.file(0, "ФАЙЛ", 1);
    app->result = std::make_unique<Tree>(tree.finish());
    uiLanguage = 1;
    open();
    ASSERT_EQ(window.resultsBrowser->size(), 200);
    EXPECT_EQ(row(1), "1.00 MiB\troot/a b c d");
    EXPECT_EQ(row(2), "1.56 KiB\troot/Дом/m599");
    EXPECT_EQ(status(), std::string("Showing 200 ") + uiText(txtLargestFilesStatus));
    EXPECT_FALSE(window.queryInput->active());

    const struct { const char* keys; int rows; std::string status, first; } searches[] = {
        {"", 0, uiText(txtEnterQuery), ""},
        {"M", 500, "Found: 500 (showing first 500)", "1000 B\troot/Дом/m0"},
        {"5", 111, "Found: 111", "1005 B\troot/Дом/m5"},
        {"\b\b", 0, uiText(txtEnterQuery), ""},
        {"фа", 1, "Found: 1", "1 B\troot/ФАЙЛ"},
        {"\b\bдО", 1, "Found: 1", "761.4 KiB\t[folder] root/Дом"},
    };
    window.modeChoice->value(1);
    window.modeChoice->do_callback();
    window.queryInput->take_focus();
    for (const auto& step : searches) {
        SCOPED_TRACE(step.keys);
        type(&window, step.keys);
        EXPECT_EQ(window.resultsBrowser->size(), step.rows);
        EXPECT_EQ(status(), step.status);
        EXPECT_EQ(step.rows > 0 ? row(1) : "", step.first);
        EXPECT_EQ(window.revealButton->active(), step.rows > 0);
    }
}

TEST_F(AnalysisTest, RevealOpensTheFolderOfAFileOrTheFolderItself) {
    TreeBuilder tree;
    const uint64_t folder = tree.folder(0, "A");
    for (int i = 0; i < 40; ++i) tree.file(folder, "s" + std::to_string(i), 100 * (i + 1));
    const uint64_t target = tree.file(folder, "target", 2550);
    const uint64_t deep = tree.folder(folder, "Deep");
    app->result = std::make_unique<Tree>(tree.finish());

    search("target");
    AnalysisWindow& window = *app->analysisWindow;
    Fl_Hold_Browser* list = window.resultsBrowser;
    sendClick(&window, list->x() + 30, list->y() + 8);
    EXPECT_EQ(list->value(), 1);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(app->currentNode, 0u);

    Fl::e_clicks = 1;
    sendEvent(&window, FL_PUSH, list->x() + 30, list->y() + 8);
    sendEvent(&window, FL_RELEASE, list->x() + 30, list->y() + 8);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, folder);
    EXPECT_EQ(app->nodeHistory, std::vector<uint64_t>{0});
    EXPECT_EQ(app->map->hoveredNode, target);
    EXPECT_EQ(app->map->listScroll, 13);  // fifteen larger files above it
    EXPECT_EQ(app->pathInput->value(), app->result->nodePath(folder).string());

    search("deep");
    list->value(1);
    sendClick(&window, window.revealButton->x() + 9, window.revealButton->y() + 9);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, deep);
    EXPECT_EQ(app->nodeHistory, (std::vector<uint64_t>{0, folder}));
}

TEST_F(AnalysisTest, AScanEndRefreshesAnOpenWindowAndAScanStartLeavesNothingToReveal) {
    TempTree disk;
    disk.file("big", 5000);
    disk.file("small", 10);
    AnalysisWindow& window = open();
    app->start(disk.root(), false);
    ASSERT_TRUE(runUntil([&] { return !app->scanning; }));
    ASSERT_EQ(window.resultsBrowser->size(), 2);

    app->start(disk.root(), false);
    window.resultsBrowser->value(1);
    sendClick(&window, window.revealButton->x() + 9, window.revealButton->y() + 9);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(app->currentNode, 0u);
    EXPECT_EQ(app->map->hoveredNode, kNoNode);
    runUntil([&] { return !app->scanning; });
}

}  // namespace
}  // namespace fan::testing
