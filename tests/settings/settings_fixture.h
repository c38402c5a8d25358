// A private config folder and environment for each settings test, put back
// afterwards so tests never see each other's (or the user's) preferences.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "settings/settings_file_linux.h"
#include "core/temp_tree.h"

namespace fan {

class SettingsTest : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "HOME",        "PATH", "LANGUAGE",
                                                 "LC_ALL",          "LC_MESSAGES", "LANG", "GTK_THEME"};
    SettingsTest() {
        for (size_t i = 0; i < std::size(kVariables); ++i)
            if (const char* value = std::getenv(kVariables[i])) saved[i] = value;
        setEnv("XDG_CONFIG_HOME", (temp.root() / "config").c_str());
        setEnv("HOME", temp.root().c_str());
    }
    ~SettingsTest() override {
        settingsFileCalls = savedCalls;
        for (size_t i = 0; i < std::size(kVariables); ++i)
            setEnv(kVariables[i], saved[i] ? saved[i]->c_str() : nullptr);
    }
    static void setEnv(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }
    std::string storeFolder() const { return (temp.root() / "config/fanOrbiter").string(); }

    testing::TempTree temp;
    std::optional<std::string> saved[std::size(kVariables)];
    const SettingsFileCalls savedCalls = settingsFileCalls;
};

}  // namespace fan
