// Scan control: the one door to a scan, the worker's body, the poll timer
// that adopts results, the status line, and the controls that start or stop
// a scan (Open folder, Scan and the path field, Cancel, the file-systems menu).
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Native_File_Chooser.H>

#include <exception>
#include <string>
#include <utility>

#include "app/analysis_window.h"
#include "app/app.h"
#include "app/file_systems_menu.h"
#include "app/scan_worker_launch.h"
#include "app/status_text.h"
#include "core/core_messages.h"
#include "core/path_text.h"
#include "core/scan_engine.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"

namespace fan {

std::thread launchScanWorkerThread(App& app, std::filesystem::path path) {
    return std::thread(&App::runScanWorker, &app, std::move(path));
}

ScanWorkerLauncher scanWorkerLauncher = launchScanWorkerThread;

namespace {

constexpr double kPollSeconds = 0.1;

}  // namespace

void App::start(const std::filesystem::path& path, bool keepHistory) {
    if (scanning || path.empty()) return;
    if (!keepHistory) rootHistory.clear();
    // Only a finished worker can be left here: pollScan joins the one it saw end.
    if (worker.joinable()) worker.join();
    scanProgress.livePreview.exchange(settings.livePreview);
    scanProgress.reset();
    workerDone.exchange(false);
    pendingResult.reset();
    preview = ScanSnapshot{};
    lastError.clear();
    scanning = true;
    result.reset();
    if (analysisWindow != nullptr) analysisWindow->releaseTree();
    currentNode = 0;
    nodeHistory.clear();
    map->resetCache();
    pathInput->value(pathText(path).c_str());
    try {
        worker = scanWorkerLauncher(*this, path);
    } catch (const std::exception& error) {
        // No worker (std::system_error, or no memory for its closure), so
        // nothing will ever end this scan: fail it here, keeping the program
        // and the requested path.
        scanning = false;
        lastError = workerStartFailure(error.what());
    }
    updateStatus();
    updateControls();
    redraw();
    map->redraw();
}

void App::runScanWorker(const std::filesystem::path& path) {
    try {
        pendingResult = std::make_unique<Tree>(scanTree(path, scanProgress, &mountEntries));
    } catch (const std::exception& error) {
        try {
            auto failed = std::make_unique<Tree>();
            failed->errorText = std::string(kScanErrorPrefix) + error.what();
            pendingResult = std::move(failed);
        } catch (...) {
            // Out of memory even for the message: pollScan reports "Scan failed".
            pendingResult.reset();
        }
    } catch (...) {
        pendingResult.reset();
    }
    workerDone.store(true);
}

void App::pollScan(void* data) {
    App& app = *static_cast<App*>(data);
    if (!app.scanning) {
        Fl::repeat_timeout(kPollSeconds, pollScan, data);
        return;
    }
    app.preview = app.settings.livePreview ? app.scanProgress.snapshot() : ScanSnapshot{};
    app.busyPhase += 0.11;
    if (!app.workerDone.load()) {
        app.updateStatus();
        app.map->redrawScanTick();
        Fl::repeat_timeout(kPollSeconds, pollScan, data);
        return;
    }
    app.worker.join();
    app.scanning = false;
    if (app.pendingResult && app.pendingResult->errorText.empty()) {
        app.lastError.clear();
        app.result = std::move(app.pendingResult);
        app.currentNode = 0;
        app.nodeHistory.clear();
        app.preview = ScanSnapshot{};
        app.map->resetCache();
        app.mountEntries = listMounts();
        app.refreshFileSystems();
        app.pathInput->value(pathText(app.result->root).c_str());
        app.updateStatus();
    } else {
        app.lastError = app.pendingResult ? app.pendingResult->errorText : std::string("Scan failed");
        app.pendingResult.reset();
        app.updateStatus();
    }
    if (app.analysisWindow != nullptr && app.analysisWindow->visible()) app.analysisWindow->refresh();
    app.updateControls();
    app.redraw();
    app.map->redraw();
    Fl::repeat_timeout(kPollSeconds, pollScan, data);
}

void App::updateStatus() {
    StatusFacts facts;
    facts.scanning = scanning;
    facts.stopRequested = scanProgress.stop.load();
    facts.liveFiles = scanProgress.files.load();
    facts.liveBytes = scanProgress.bytes.load();
    facts.result = result.get();
    facts.lastError = lastError;
    // Linux always has a root mount: an empty table means it could not be read.
    facts.mountTableMissing = mountEntries.empty();
    statusText = fan::statusText(facts);
    if (statusBar) statusBar->redraw();
}

void App::refreshFileSystems() {
    Fl_Choice& menu = *fileSystemsChoice;
    int selected = menu.value();
    std::vector<FileSystemItem> items = fileSystemItems(mountEntries);
    menu.clear();
    fileSystemPaths.clear();
    // Every item goes in under a placeholder unique among its siblings and
    // then gets its text with replace, which takes it literally: add would
    // read '/' and '\\' as menu structure and merge equal labels into one item.
    menu.add("0", 0, nullptr);
    for (size_t i = 0; i < items.size(); ++i)
        menu.add(std::to_string(i + 1).c_str(), 0, nullptr);
    menu.replace(0, menuLiteral(uiText(txtFileSystems)).c_str());
    for (size_t i = 0; i < items.size(); ++i) {
        menu.replace(static_cast<int>(i + 1), menuLiteral(items[i].label).c_str());
        fileSystemPaths.push_back(pathFromText(items[i].mountPoint));
    }
    bool keep = selected >= 1 && static_cast<size_t>(selected) <= items.size();
    menu.value(keep ? selected : 0);
}

void App::onOpenFolder(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (app.scanning) return;
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
    chooser.title(uiText(txtChooseFolderTitle));
    std::string startFolder = app.result ? pathText(app.result->root) : std::string();
    if (!startFolder.empty()) chooser.directory(startFolder.c_str());
    if (chooser.show() != 0 || chooser.filename() == nullptr) return;
    app.start(pathFromText(chooser.filename()), false);
}

void App::onScan(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    // No trimming: the field's text names the path exactly.
    app.start(pathFromText(app.pathFieldText()), false);
}

void App::onCancelScan(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    app.scanProgress.stop.exchange(true);
    app.cancelButton->deactivate();
    app.updateStatus();
    app.redraw();
}

void App::onFileSystemChosen(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    int chosen = app.fileSystemsChoice->value();
    if (chosen < 1 || static_cast<size_t>(chosen) > app.fileSystemPaths.size()) return;
    app.start(app.fileSystemPaths[chosen - 1], false);
}

}  // namespace fan
