// The desktop's language and theme, as the environment and the common
// desktop settings tell them. Each is read when asked, never cached.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/regular_file.h"
#include "settings/settings_file_linux.h"
#include "settings/settings_store.h"
#include "settings/text_lines.h"
#include "settings/timed_command.h"

namespace fan {
namespace {

// Long enough for gsettings on a loaded machine, short enough that a hung
// one does not noticeably delay start-up.
constexpr std::chrono::milliseconds kQueryLimit(400);

bool containsDark(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find("dark") != std::string::npos;
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The GTK 3 settings file, read as GTK reads it: keys of the [Settings]
// group, blanks around key and value ignored.
bool gtkSettingsAskForDark() {
    const std::string config = userConfigFolder();
    if (config.empty()) return false;
    const std::optional<std::string> text = readRegularFile(config + "/gtk-3.0/settings.ini");
    if (!text) return false;
    bool inSettings = false;
    for (std::string_view rest = *text; !rest.empty();) {
        const std::string_view line = trimmed(takeLine(rest));
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inSettings = line == "[Settings]";
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSettings || eq == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        if (key == "gtk-application-prefer-dark-theme" && (value == "1" || value == "true")) return true;
        if (key == "gtk-theme-name" && containsDark(value)) return true;
    }
    return false;
}

bool gnomeAsksForDark() {
    const std::optional<std::string> answer =
        runWithTimeLimit({"gsettings", "get", "org.gnome.desktop.interface", "color-scheme"}, kQueryLimit);
    return answer && answer->find("prefer-dark") != std::string::npos;
}

}  // namespace

bool systemPrefersEnglish() {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (!locale.empty()) break;
        if (const char* value = std::getenv(name)) locale = value;
    }
    // As gettext does: the C locale (also when none is set) turns
    // translations off, whatever LANGUAGE asks for.
    const bool cLocale = locale.empty() || locale == "C" || locale == "POSIX";
    if (const char* list = std::getenv("LANGUAGE"); list && !cLocale) {
        const std::string_view first = std::string_view(list).substr(0, std::string_view(list).find(':'));
        if (!first.empty()) locale = first;
    }
    const bool russian = locale == "ru" || locale.substr(0, 3) == "ru_" || locale.substr(0, 3) == "ru.";
    return !russian;
}

// The cheap sources first: the program is only started when they say nothing.
bool systemUsesDarkTheme() {
    const char* gtkTheme = std::getenv("GTK_THEME");
    if (gtkTheme && containsDark(gtkTheme)) return true;
    return gtkSettingsAskForDark() || gnomeAsksForDark();
}

}  // namespace fan
