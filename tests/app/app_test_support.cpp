// The main-window fixtures.
#include "app_test_support.h"

#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <chrono>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "ui/ui_test_support.h"

namespace fan::testing {

namespace {

class ConfigHomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { testConfigHome(); }
    void TearDown() override { std::filesystem::remove_all(testConfigHome()); }
};

[[maybe_unused]] const auto* configHomeEnvironment =
    ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

}  // namespace

const std::filesystem::path& testConfigHome() {
    static const std::filesystem::path home = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fan-config-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    return home;
}

ShownApp::ShownApp() : app(std::make_unique<App>()) {
    app->position(0, 0);
    app->show();
    settle(0.1);
}

ShownApp::~ShownApp() {
    app.reset();
    settle(0.05);
}

int sendShortcut(App& app, int key, int state) {
    Fl::e_keysym = key;
    Fl::e_original_keysym = key;
    Fl::e_state = state;
    Fl::e_text = const_cast<char*>("");
    Fl::e_length = 0;
    const int used = app.handle(FL_SHORTCUT);
    Fl::e_state = 0;
    return used;
}

bool runUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < end) Fl::wait(0.02);
    return done();
}

}  // namespace fan::testing
