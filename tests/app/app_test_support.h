// Fixtures of the main-window tests: a private settings folder for the whole
// program, a real App shown under the test X server, keys with modifiers,
// and waiting for the poll timer.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "app/app.h"

namespace fan::testing {

// The XDG_CONFIG_HOME every App of this program reads and writes; set before
// the first test runs, so the user's real settings are never touched.
const std::filesystem::path& testConfigHome();

// A shown App at (0, 0), torn down (scan stopped and joined) on destruction.
struct ShownApp {
    ShownApp();
    ~ShownApp();
    App& operator*() const { return *app; }
    App* operator->() const { return app.get(); }
    std::unique_ptr<App> app;
};

// FL_SHORTCUT handed to the window as the toolkit hands over a key no
// focused widget used; returns what the window's handle returned.
int sendShortcut(App& app, int key, int state = 0);

// Runs the event loop until `done` holds or `seconds` pass; returns `done`.
bool runUntil(const std::function<bool()>& done, double seconds = 10.0);

}  // namespace fan::testing
