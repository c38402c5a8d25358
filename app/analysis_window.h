// The analysis window: the largest files of the current scan, or the files
// and folders whose name holds a search text, and the way from a row to its
// place on the map.
//
// GUI thread only. The App owns the one AnalysisWindow (App::analysisWindow):
// built on first use by App::showAnalysis, hidden rather than destroyed when
// closed, relabelled by App::setLanguage (applyLanguage), re-coloured when
// the settings change (applyTheme), refreshed by the poll timer when a scan
// ends while it is shown, and told by App::start that the tree its rows
// point into is gone (releaseTree).
#pragma once

#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <string>
#include <vector>

class Fl_Box;
class Fl_Choice;
class Fl_Hold_Browser;
class Fl_Input;
class Fl_Widget;

namespace fan {

class App;
class SoftButton;

class AnalysisWindow : public Fl_Double_Window {
public:
    // A hidden 860 x 620 window with its children, coloured from the current
    // palette and labelled in the current language. `owner` must outlive it.
    explicit AnalysisWindow(App* owner);
    ~AnalysisWindow() override = default;

    // Title, mode items (keeping the selected mode), tooltip and button label
    // from uiLanguage; a shown window also gets its list recomputed.
    void applyLanguage();
    // Re-colours every child from the current palette and redraws; a shown
    // window also gets its frame re-themed.
    void applyTheme();
    // Recomputes the rows from the owner's current Tree and the mode and
    // search text, and the status line under them.
    void refresh();
    // The owner's Tree has been freed (a scan started): the rows on show keep
    // their text, but from now on a reveal only hides the window, until the
    // next refresh computes rows for a tree again.
    void releaseTree();

    // Callbacks; user data is the window. onRefresh: the mode choice and
    // every edit of the search field. onReveal: "Show on map" and the
    // browser (a single click only selects; a double click reveals).
    static void onRefresh(Fl_Widget* widget, void* window);
    static void onReveal(Fl_Widget* widget, void* window);

    App* owner;
    Fl_Choice* modeChoice = nullptr;  // 0 largest files, 1 search by name
    Fl_Input* queryInput = nullptr;
    Fl_Hold_Browser* resultsBrowser = nullptr;  // "size<TAB>path" rows
    SoftButton* revealButton = nullptr;
    Fl_Box* statusBox = nullptr;
    // Node of each browser row (row r is entry r - 1) in the tree they were
    // computed from.
    std::vector<uint64_t> rowNodes;

private:
    bool rowsHaveTree_ = false;
    std::string status_;
};

}  // namespace fan
