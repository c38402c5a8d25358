#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "settings/settings_store.h"
#include "settings_fixture.h"

namespace fan {
namespace {

struct LanguageCase {
    const char* name;
    const char* values[4];  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG; nullptr: unset
    bool english;
};

TEST_F(SettingsTest, SystemLanguageComesFromTheFirstLocaleVariableSet) {
    const LanguageCase cases[] = {
        {"LANGUAGE first", {"ru:en", "en_US.UTF-8", "en_US", "en_US"}, false},
        {"LC_MESSAGES before LANG", {nullptr, nullptr, "en_GB", "ru_RU"}, true},
        // The C locale turns translations off, as gettext has it.
        {"LANGUAGE under C", {"ru", "C", "ru_RU", "ru_RU"}, true},
        {"LANGUAGE without a locale", {"ru", nullptr, nullptr, nullptr}, true},
    };
    const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 4; ++i)
            setEnv(names[i], c.values[i]);
        EXPECT_EQ(systemPrefersEnglish(), c.english);
        // Only the automatic mode (and any unknown one) asks the system.
        for (const auto& [mode, language] : {std::pair{0, int(c.english)}, {5, int(c.english)}, {1, 0}, {2, 1}})
            EXPECT_EQ(resolveLanguage(Settings{mode}), language) << "mode " << mode;
    }
}

// gsettings: the fake program's script; nullptr: none in PATH.
struct ThemeCase {
    const char* name;
    const char* gsettings;
    const char* gtkTheme;
    const char* gtkSettings;
    bool dark;
};

TEST_F(SettingsTest, SystemThemeAsksTheDesktopWithinATimeLimit) {
    const ThemeCase cases[] = {
        {"the desktop prefers dark", "echo \"'prefer-dark'\"", nullptr, nullptr, true},
        // Answers, then hangs while holding its output open.
        {"gsettings hangs", "echo \"'prefer-dark'\"; /bin/sleep 60", nullptr, nullptr, false},
        {"GTK prefers dark", nullptr, "Adwaita", "[Settings]\n gtk-application-prefer-dark-theme = true\n", true},
    };
    const std::string bin = temp.folder("bin").string();
    setEnv("PATH", bin.c_str());
    for (const ThemeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(bin + "/gsettings");
        if (c.gsettings) {
            temp.write("bin/gsettings", std::string("#!/bin/sh\n") + c.gsettings + "\n");
            ::chmod((bin + "/gsettings").c_str(), 0755);
        }
        setEnv("GTK_THEME", c.gtkTheme);
        temp.write("config/gtk-3.0/settings.ini", c.gtkSettings ? c.gtkSettings : "");

        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(resolveDarkTheme(Settings{}), c.dark);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // a hang is not waited out
    }
    // A theme chosen in the settings wins over the desktop's.
    setEnv("GTK_THEME", "Adwaita:dark");
    EXPECT_FALSE(resolveDarkTheme(Settings{0, 1}));
}

}  // namespace
}  // namespace fan
