// The analysis window: its controls, the two lists and the way back to the map.
#include "app/analysis_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>

#include <algorithm>
#include <string>

#include "app/app.h"
#include "app/choice_items.h"
#include "core/path_text.h"
#include "core/tree_queries.h"
#include "texts/display_text.h"
#include "texts/ui_texts.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui/window_frame.h"

namespace fan {

namespace {

constexpr uint64_t kLargestFilesLimit = 200;
constexpr uint64_t kSearchLimit = 500;
// Only the first column has a width; the path takes the rest of the row.
const int kColumnWidths[] = {118, 0};

// A path as one browser column: its display text has no tab to start a new
// column and no line break. Scan roots are absolute, so no column starts
// with the browser's format character '@'.
std::string rowPath(const std::filesystem::path& path) {
    return displayText(pathText(path));
}

}  // namespace

AnalysisWindow::AnalysisWindow(App* app) : Fl_Double_Window(860, 620), owner(app) {
    copy_label(uiText(txtAnalysisTitle));
    size_range(640, 440);

    modeChoice = new Fl_Choice(20, 20, 220, 32);
    modeChoice->box(FL_BORDER_BOX);
    modeChoice->textsize(13);
    modeChoice->callback(onRefresh, this);

    queryInput = new Fl_Input(252, 20, 390, 32);
    queryInput->box(FL_BORDER_BOX);
    queryInput->textsize(14);
    queryInput->callback(onRefresh, this);
    queryInput->when(FL_WHEN_ENTER_KEY_CHANGED);

    revealButton = new SoftButton(654, 20, 186, 32);
    revealButton->box(FL_NO_BOX);
    revealButton->labelsize(13);
    revealButton->callback(onReveal, this);

    resultsBrowser = new Fl_Hold_Browser(20, 68, 820, 492);
    resultsBrowser->textsize(13);
    resultsBrowser->column_widths(kColumnWidths);
    resultsBrowser->callback(onReveal, this);
    resultsBrowser->when(FL_WHEN_RELEASE_ALWAYS);

    statusBox = new Fl_Box(20, 570, 820, 30);
    statusBox->box(FL_NO_BOX);
    statusBox->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);

    end();
    callback(closeWindowCallback);
    resizable(resultsBrowser);
    applyTheme();
    applyLanguage();
    modeChoice->value(0);
}

void AnalysisWindow::applyTheme() {
    color(themeBackground);
    modeChoice->color(themeControl);
    modeChoice->labelcolor(themeText);
    modeChoice->textcolor(themeText);
    queryInput->color(themeControl);
    queryInput->textcolor(themeText);
    queryInput->cursor_color(themeAccent);
    resultsBrowser->color(themeSurface);
    resultsBrowser->selection_color(themeControlHover);
    resultsBrowser->textcolor(themeText);
    revealButton->color(themeControl);
    revealButton->labelcolor(themeText);
    statusBox->labelcolor(themeTextDim);
    redraw();
    if (shown()) applyWindowFrameTheme(this);
}

void AnalysisWindow::applyLanguage() {
    copy_label(uiText(txtAnalysisTitle));
    relabelChoice(*modeChoice, {uiText(txtLargestFiles), uiText(txtSearchByName)});
    queryInput->copy_tooltip(uiText(txtSearchTooltip));
    revealButton->copy_label(uiText(txtShowOnMap));
    if (visible()) refresh();
}

void AnalysisWindow::refresh() {
    rowNodes.clear();
    resultsBrowser->clear();
    const Tree* tree = owner->result.get();
    rowsHaveTree_ = tree != nullptr;
    if (tree == nullptr) {
        status_ = uiText(txtScanFirst);
    } else if (modeChoice->value() != 1) {
        queryInput->deactivate();
        rowNodes = largestFiles(*tree, kLargestFilesLimit);
        for (uint64_t node : rowNodes) {
            const std::string row =
                formatSize(tree->nodes[node].size, uiLanguage) + "\t" + rowPath(tree->nodePath(node));
            resultsBrowser->add(row.c_str());
        }
        status_ =
            pickText("Showing ", "Показано ") + std::to_string(rowNodes.size()) + " " + uiText(txtLargestFilesStatus);
    } else {
        queryInput->activate();
        const std::string query = queryInput->value() != nullptr ? queryInput->value() : "";
        rowNodes = searchByName(*tree, query, kSearchLimit);
        for (uint64_t node : rowNodes) {
            const ScanNode& found = tree->nodes[node];
            const std::string path = rowPath(tree->nodePath(node));
            const std::string row =
                formatSize(found.size, uiLanguage) + "\t" + (found.isFolder ? uiText(txtFolderTag) + path : path);
            resultsBrowser->add(row.c_str());
        }
        status_ = query.empty() ? uiText(txtEnterQuery) : uiText(txtFound) + std::to_string(rowNodes.size());
        if (rowNodes.size() == kSearchLimit) status_ += std::string(" ") + uiText(txtShowingFirst500);
    }
    statusBox->copy_label(status_.c_str());
    if (rowNodes.empty())
        revealButton->deactivate();
    else
        revealButton->activate();
    redraw();
}

void AnalysisWindow::releaseTree() {
    rowsHaveTree_ = false;
}

void AnalysisWindow::onRefresh(Fl_Widget*, void* data) {
    static_cast<AnalysisWindow*>(data)->refresh();
}

void AnalysisWindow::onReveal(Fl_Widget* widget, void* data) {
    AnalysisWindow& window = *static_cast<AnalysisWindow*>(data);
    // In the browser only a double click reveals; a single click or a key
    // only selects. The click count outlives its click (a key press leaves
    // it as it was), so it counts only during a button event.
    const bool buttonEvent = Fl::event() == FL_PUSH || Fl::event() == FL_RELEASE;
    if (widget == window.resultsBrowser && !(buttonEvent && Fl::event_clicks() != 0)) return;
    const int line = window.resultsBrowser->value();
    if (line < 1 || static_cast<size_t>(line) > window.rowNodes.size()) return;

    App& app = *window.owner;
    const uint64_t node = window.rowNodes[line - 1];
    const Tree* tree = app.result.get();
    // Rows computed before the last scan started point into a freed tree:
    // then the window only steps aside.
    if (window.rowsHaveTree_ && tree != nullptr && node < tree->nodes.size()) {
        const ScanNode& target = tree->nodes[node];
        if (target.isFolder) {
            app.openNode(node, true);
        } else if (target.parent != kNoNode) {
            const uint64_t parent = target.parent;
            if (parent != app.currentNode) {
                app.nodeHistory.push_back(app.currentNode);
                app.currentNode = parent;
                app.map->resetCache();
            }
            app.pathInput->value(pathText(tree->nodePath(parent)).c_str());
            const std::vector<uint64_t>& siblings = tree->nodes[parent].children;
            const auto at = std::find(siblings.begin(), siblings.end(), node);
            const long position = at == siblings.end() ? 0 : static_cast<long>(at - siblings.begin());
            // Two rows above it, so the file shows third from the top.
            app.map->listScroll = static_cast<int>(std::max(position - 2, 0L));
            app.map->hoveredNode = node;
            app.map->hoveredIsGroup = false;
            app.updateControls();
            app.map->redraw();
            app.redraw();
        }
    }
    window.hide();
    app.show();
    app.take_focus();
}

void App::showAnalysis() {
    if (analysisWindow == nullptr) analysisWindow = new AnalysisWindow(this);
    analysisWindow->applyLanguage();
    analysisWindow->refresh();
    analysisWindow->show();
    applyWindowFrameTheme(analysisWindow);
}

void App::onShowAnalysis(Fl_Widget*, void* data) {
    static_cast<App*>(data)->showAnalysis();
}

}  // namespace fan
