// The user's preferences: the record, where it is stored, and how the
// language and theme modes turn into the values the interface uses.
//
// Called on the GUI thread: loadSettings once at start-up, saveSettings after
// every change and at exit. No failure is ever shown or fatal: a missing or
// unreadable store gives the defaults, a failed save returns false. No
// toolkit header is included, so display-free test programs can link it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fan {

struct Settings {
    int32_t languageMode = 0;      // 0 automatic, 1 Russian, 2 English
    int32_t themeMode = 0;         // 0 system, 1 light, 2 dark
    int32_t defaultDepth = 0;      // detail mode at start-up: 0 Overview, 1 Normal, 2 Detailed
    bool rememberDepth = true;     // start with the detail mode chosen last
    int32_t lastDepth = 0;         // detail mode chosen last
    bool livePreview = true;       // draw the preview ring while scanning
    int32_t mapTransparency = 35;  // map background transparency, percent
};

Settings loadSettings();
// True only when all eight values were written.
bool saveSettings(const Settings& settings);

// The legacy file's number and flag parsers: the fallback for anything that
// is not a whole number / a recognised flag.
int parseIntOr(const char* text, int fallback);
bool parseBoolOr(const char* text, size_t length, bool fallback);

// 1 English, 0 Russian.
int resolveLanguage(const Settings& settings);
bool resolveDarkTheme(const Settings& settings);

bool systemPrefersEnglish();
bool systemUsesDarkTheme();

}  // namespace fan
