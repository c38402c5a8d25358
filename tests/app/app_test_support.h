// Fixtures of the main-window tests: private settings, a shown App, a small
// tree on disk and as a result, keys and clicks, waiting on the event loop.
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/app.h"
#include "core/temp_tree.h"
#include "core/tree_builder.h"
#include "texts/ui_texts.h"
#include "ui/palette.h"
#include "ui/ui_test_support.h"

namespace fan::testing {

// Every App of the test program keeps its settings here, never in the user's.
class ConfigHomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        home_ = (std::filesystem::temp_directory_path() / "fan-config-XXXXXX").string();
        ASSERT_NE(::mkdtemp(home_.data()), nullptr);
        ::setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(home_); }
    std::string home_;
};
inline const auto* configHome = ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

// A shown App at (0, 0), torn down (scan stopped and joined) on destruction;
// the language, theme and stored settings it changed are put back, so the
// order of tests never matters.
struct ShownApp {
    ShownApp() : app(std::make_unique<App>()) {
        app->position(0, 0);
        app->show();
        settle(0.1);
    }
    ~ShownApp() {
        app.reset();
        saveSettings(Settings{});
        uiLanguage = language;
        applyPalette(dark != 0);
    }
    App* operator->() const { return app.get(); }
    operator App*() const { return app.get(); }
    const int language = uiLanguage;
    const unsigned char dark = darkTheme;
    std::unique_ptr<App> app;
};

inline void showEveryWindow(App& app) {
    App::showSettings(nullptr, &app);
    App::showHelp(nullptr, &app);
    app.showAnalysis();
}

// On disk and as a scan of it: nodes 1 A, 2 A/A1, 3 A/A1/x, 4 A/M (the mount
// point of another file system, holding z/y), 5 f\xff (a name not in UTF-8).
struct SmallTree {
    TempTree disk;
    Tree tree = treeWithRoot(disk.root());
    SmallTree() {
        for (const char* file : {"A/A1/x", "A/M/z/y", "f\xff"})
            disk.file(file, 100);
        addNode(tree, 0, "A", 100, true);
        addNode(tree, 1, "A1", 100, true);
        addNode(tree, 2, "x", 100);
        addNode(tree, 1, "M", 0, true, 0);
        addNode(tree, 0, "f\xff", 100);
        tree.mounts.resize(1);
    }
};

// Runs the event loop until `done` holds or `seconds` pass; returns `done`.
inline bool runUntil(const std::function<bool()>& done, double seconds = 10.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < end)
        Fl::wait(0.02);
    return done();
}

// Until the running scan has been adopted or has failed.
inline bool scanEnded(App& app) {
    return runUntil([&] { return !app.scanning; }, 30);
}
// Whether the running scan ends with a result for `root`.
inline bool rescanned(App& app, const std::filesystem::path& root) {
    return scanEnded(app) && app.result && app.result->root == root;
}

// A worker that walks only once the scan has been asked to stop (or after a
// minute), so that a scan is running for as long as a test needs.
inline std::thread walkOnceStopped(App& app, std::filesystem::path path) {
    return std::thread([&app, path] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!app.scanProgress.stop.load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        app.runScanWorker(path);
    });
}

// A left click just inside `w`'s top left corner.
inline void click(Fl_Widget* w) {
    sendClick(w->window(), w->x() + 6, w->y() + 6);
}

}  // namespace fan::testing
