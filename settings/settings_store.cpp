// The rules of the preferences: defaults, clamps, the legacy file's format
// and its one-time migration, and the language and theme resolution. Where
// the values live is settings_value_store.h's business.
#include "settings/settings_store.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/settings_value_store.h"
#include "settings/text_lines.h"

namespace fan {
namespace {

// One preference: its name in the store, its key in the legacy file, and
// either a number field with its upper bound or a flag field.
struct Field {
    const char* valueName;
    const char* legacyKey;
    int32_t Settings::*number;
    bool Settings::*flag;
    int32_t max;
};

// In the order a save writes them, after SettingsVersion.
constexpr Field kFields[] = {
    {"LanguageMode", "language", &Settings::languageMode, nullptr, 2},
    {"ThemeMode", "theme", &Settings::themeMode, nullptr, 2},
    {"DefaultDepth", "default_depth", &Settings::defaultDepth, nullptr, 2},
    {"RememberDepth", "remember_depth", nullptr, &Settings::rememberDepth, 0},
    {"LastDepth", "last_depth", &Settings::lastDepth, nullptr, 2},
    {"LivePreview", "live_preview", nullptr, &Settings::livePreview, 0},
    {"MapTransparency", "map_transparency", &Settings::mapTransparency, nullptr, 100},
};
constexpr size_t kFieldCount = sizeof kFields / sizeof kFields[0];

int32_t clampTo(int32_t value, int32_t max) {
    return value < 0 ? 0 : value > max ? max : value;
}

// True when the store held at least one value that counts.
bool readFromStore(Settings& settings) {
    const char* names[kFieldCount];
    for (size_t i = 0; i < kFieldCount; ++i)
        names[i] = kFields[i].valueName;
    std::optional<int32_t> values[kFieldCount];
    readStoredValues(names, values, kFieldCount);

    bool any = false;
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (!values[i]) continue;
        any = true;
        const Field& field = kFields[i];
        if (field.number)
            settings.*field.number = clampTo(*values[i], field.max);
        else
            settings.*field.flag = *values[i] != 0;
    }
    return any;
}

const Field* legacyField(std::string_view key) {
    for (const Field& field : kFields)
        if (key == field.legacyKey) return &field;
    return nullptr;
}

// Applies the file's lines over `settings`; true when a known key was met,
// whether or not its value parsed.
bool readLegacyText(std::string_view text, Settings& settings) {
    bool known = false;
    while (!text.empty()) {
        const std::string_view line = takeLine(text);

        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const Field* field = legacyField(line.substr(0, eq));
        if (!field) continue;
        known = true;
        const std::string value(line.substr(eq + 1));
        if (field->number)
            settings.*field->number = parseIntOr(value.c_str(), settings.*field->number);
        else
            settings.*field->flag = parseBoolOr(value.data(), value.size(), settings.*field->flag);
    }
    for (const Field& field : kFields)
        if (field.number) settings.*field.number = clampTo(settings.*field.number, field.max);
    return known;
}

}  // namespace

Settings loadSettings() {
    Settings settings;
    if (readFromStore(settings)) return settings;

    const std::optional<std::string> legacy = readLegacySettingsFile();
    if (!legacy) return settings;
    // A failed save leaves the file as it is, to be tried again next start.
    if (readLegacyText(*legacy, settings) && saveSettings(settings)) retireLegacySettingsFile();
    return settings;
}

bool saveSettings(const Settings& settings) {
    StoredValue values[kFieldCount + 1];
    values[0] = {"SettingsVersion", 1};
    for (size_t i = 0; i < kFieldCount; ++i) {
        const Field& field = kFields[i];
        values[i + 1] = {field.valueName, field.number ? clampTo(settings.*field.number, field.max)
                                                       : int32_t(settings.*field.flag ? 1 : 0)};
    }
    return writeStoredValues(values, kFieldCount + 1);
}

int parseIntOr(const char* text, int fallback) {
    if (!text) return fallback;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return fallback;
    return int(value);
}

bool parseBoolOr(const char* text, size_t length, bool fallback) {
    if (!text) return fallback;
    const std::string_view word(text, length);
    if (word == "1" || word == "true" || word == "yes") return true;
    if (word == "0" || word == "false" || word == "no") return false;
    return fallback;
}

int resolveLanguage(const Settings& settings) {
    switch (settings.languageMode) {
        case 1:
            return 0;
        case 2:
            return 1;
        default:
            return systemPrefersEnglish() ? 1 : 0;
    }
}

bool resolveDarkTheme(const Settings& settings) {
    switch (settings.themeMode) {
        case 1:
            return false;
        case 2:
            return true;
        default:
            return systemUsesDarkTheme();
    }
}

}  // namespace fan
