// The main window: the program's whole state, its seventeen controls, scan
// control, navigation and the keys.
//
// Exactly one App exists, a local of main. Everything here runs on the GUI
// thread except runScanWorker, the body of the one worker thread per scan,
// which touches no widget: it shares with the GUI thread only scanProgress,
// the mount list (read once at its start), pendingResult and workerDone.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_store.h"
#include "core/mount_entry.h"
#include "core/scan_progress.h"
#include "core/tree.h"
#include "ui/map.h"

class Fl_Choice;
class Fl_Input;
class Fl_Widget;

namespace fan {

class AnalysisWindow;
class FlagButton;
class HelpWindow;
class IconButton;
class SettingsWindow;
class SoftButton;
class StatusBar;

class App : public Fl_Double_Window, public MapHost {
public:
    App();
    ~App() override;

    void draw() override;
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

    // Places the seventeen children for a window of w x h.
    void layoutControls(int w, int h);
    // Activates or deactivates the toolbar controls from the scan state and
    // the two histories.
    void updateControls();

    // Scan control. start is the one way a scan begins; it does nothing while
    // a scan runs or for an empty path.
    void start(const std::filesystem::path& path, bool keepHistory);
    void runScanWorker(const std::filesystem::path& path);
    static void pollScan(void* app);
    void updateStatus();
    void refreshFileSystems();

    // Navigation.
    void openNode(uint64_t node, bool pushHistory) override;
    void showContextMenu(uint64_t node) override;

    // Every label, tooltip, choice item and the status line in a language
    // (1 English, anything else Russian), the other windows included: the
    // analysis and settings windows are relabelled keeping their choices,
    // the help window is deleted and rebuilt only when it was showing.
    void setLanguage(int language);
    // Takes the record the settings window confirmed: clamps it (the caller's
    // copy too), stores it, and re-themes and relabels every window.
    void applySettings(Settings& edited);
    // The main window's stock controls in the current palette's colours; the
    // custom-drawn widgets read the palette themselves.
    void colourControls();
    // Hides and deletes the help window, which is never relabelled; returns
    // whether it was showing, so that the caller can rebuild it with
    // showHelp once the new language or theme is in place.
    bool dropHelpWindow();
    // A flag's choice: `languageMode` 1 Russian or 2 English, stored, shown
    // by an open settings window's language choice, and switched to.
    void chooseLanguageByFlag(int languageMode);

    // Builds the analysis window on first use, relabels and refills it, and
    // shows (raises) it.
    void showAnalysis();

    // Callbacks: the widget and the App as user data.
    static void onOpenFolder(Fl_Widget*, void* app);
    static void onScan(Fl_Widget*, void* app);
    static void onCancelScan(Fl_Widget*, void* app);
    static void onFileSystemChosen(Fl_Widget*, void* app);
    static void onBack(Fl_Widget*, void* app);
    static void onUp(Fl_Widget*, void* app);
    static void onDetailModeChanged(Fl_Widget*, void* app);
    static void onShowAnalysis(Fl_Widget*, void* app);
    static void showHelp(Fl_Widget*, void* app);
    static void onRussianFlag(Fl_Widget*, void* app);
    static void onEnglishFlag(Fl_Widget*, void* app);
    static void showSettings(Fl_Widget*, void* app);
    static void onEmptyTrash(Fl_Widget*, void* app);
    static void onOpenTrash(Fl_Widget*, void* app);

    // What the map reads.
    const Tree* resultTree() const override { return result.get(); }
    uint64_t currentFolder() const override { return currentNode; }
    bool isScanning() const override { return scanning; }
    int detailIndex() const override;
    int mapTransparency() const override { return settings.mapTransparency; }
    const ScanSnapshot& previewSnapshot() const override { return preview; }
    double animationPhase() const override { return busyPhase; }
    std::string pathFieldText() const override;

    // The seventeen children, in creation order; the window's group owns them.
    SoftButton* openFolderButton = nullptr;
    SoftButton* backButton = nullptr;
    SoftButton* upButton = nullptr;
    Fl_Input* pathInput = nullptr;
    SoftButton* scanButton = nullptr;
    SoftButton* cancelButton = nullptr;
    Fl_Choice* fileSystemsChoice = nullptr;
    Fl_Choice* detailChoice = nullptr;
    SoftButton* analysisButton = nullptr;
    SoftButton* helpButton = nullptr;
    FlagButton* russianFlagButton = nullptr;
    FlagButton* englishFlagButton = nullptr;
    IconButton* settingsButton = nullptr;
    Map* map = nullptr;
    StatusBar* statusBar = nullptr;
    IconButton* emptyTrashButton = nullptr;
    IconButton* openTrashButton = nullptr;

    Settings settings;
    std::unique_ptr<Tree> result;         // the result shown; null while scanning
    std::unique_ptr<Tree> pendingResult;  // written once by the worker, adopted by pollScan
    ScanSnapshot preview;
    double busyPhase = 0.0;  // animation phase, +0.11 per poll tick while scanning
    uint64_t currentNode = 0;
    std::vector<uint64_t> nodeHistory;  // back-stack within the current result
    std::vector<MountEntry> mountEntries;
    std::vector<std::filesystem::path> fileSystemPaths;  // behind menu items 1..n
    std::vector<std::filesystem::path> rootHistory;      // Back across scans
    ScanProgress scanProgress;
    std::thread worker;
    // Owned; built on first use, hidden rather than destroyed, deleted by
    // the destructor.
    HelpWindow* helpWindow = nullptr;
    AnalysisWindow* analysisWindow = nullptr;
    SettingsWindow* settingsWindow = nullptr;
    std::atomic<bool> workerDone{false};
    bool scanning = false;
    std::string statusText;
    std::string lastError;  // in the core's own (Russian) wording
};

// The main window's callback: hides the window it is given.
void closeWindowCallback(Fl_Widget* window, void*);

}  // namespace fan
