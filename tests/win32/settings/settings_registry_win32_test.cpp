// The settings store against Wine's real registry and file system: which
// values count, the legacy file's place and migration, and the theme query.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "app/settings_store.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

const wchar_t kKey[] = L"Software\\fanOrbiter";
const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

using Fields = std::vector<int>;  // language, theme, default, remember, last, preview, transparency

Fields fieldsOf(const Settings& s) {
    return {s.languageMode, s.themeMode, s.defaultDepth, s.rememberDepth, s.lastDepth, s.livePreview,
            s.mapTransparency};
}

// One raw registry value to plant: its type and data bytes.
struct RawValue {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

RawValue dword(const wchar_t* name, uint32_t value) {
    return {name, REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}

void plant(const wchar_t* keyName, const RawValue& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    EXPECT_EQ(RegSetValueExW(key, value.name, 0, value.type, value.data.data(), DWORD(value.data.size())), 0);
    RegCloseKey(key);
}

// The type and number of a stored value, if there is one.
std::optional<std::pair<DWORD, uint32_t>> stored(const wchar_t* name) {
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, &data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::make_pair(type, data);
}

void writeFile(const std::wstring& path, const std::string& text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << text;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
        SetEnvironmentVariableW(L"APPDATA", temp.root().c_str());
        temp.folder(L"fanOrbiter");
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetEnvironmentVariableW(L"APPDATA", savedAppData.empty() ? nullptr : savedAppData.c_str());
        SetEnvironmentVariableW(L"USERPROFILE", savedProfile.empty() ? nullptr : savedProfile.c_str());
        SetCurrentDirectoryW(savedFolder.c_str());
    }
    static std::wstring env(const wchar_t* name) {
        wchar_t value[1024] = {};
        return GetEnvironmentVariableW(name, value, 1024) ? value : L"";
    }

    std::wstring savedAppData = env(L"APPDATA"), savedProfile = env(L"USERPROFILE");
    std::wstring savedFolder = std::filesystem::current_path().native();
    testing::Win32TempTree temp;
    std::wstring ini = temp.join(L"fanOrbiter\\settings.ini");
};

TEST_F(RegistrySettingsTest, OnlyFourByteDwordsCountAndAnyOneKeepsTheLegacyFileAway) {
    const struct {
        std::vector<RawValue> values;
        const char* legacy;
        Fields expected;
        bool migrated;
    } cases[] = {
        {{dword(L"MapTransparency", 250)}, "theme=2\n", {0, 0, 0, 1, 0, 1, 100}, false},
        {{dword(L"ThemeMode", 0xFFFFFFFF), dword(L"LastDepth", 9), dword(L"LivePreview", 7),
          dword(L"RememberDepth", 0)},
         "theme=2\n", {0, 0, 0, 0, 2, 1, 35}, false},
        // Another type or size is no value: the legacy file decides.
        {{{L"LanguageMode", REG_SZ, {'1', 0, 0, 0}},
          {L"ThemeMode", REG_DWORD, {1, 0}},
          {L"LastDepth", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
          {L"DefaultDepth", REG_BINARY, {1, 0, 0, 0}}},
         "theme=2\r\nlive_preview=false\r\n", {0, 2, 0, 1, 0, 0, 35}, true},
        {{}, "theme = 2\n", {0, 0, 0, 1, 0, 1, 35}, false},
        {{}, "map_transparency=abc\n", {0, 0, 0, 1, 0, 1, 35}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        DeleteFileW((ini + L".migrated").c_str());
        for (const RawValue& value : c.values) plant(kKey, value);
        writeFile(ini, c.legacy);

        EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        EXPECT_EQ(fileExists(ini + L".migrated"), c.migrated);
        EXPECT_EQ(fileExists(ini), !c.migrated);
        if (c.migrated) {
            EXPECT_EQ(stored(L"ThemeMode"), std::make_pair(DWORD(REG_DWORD), uint32_t(c.expected[1])));
            EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        }
    }
}

TEST_F(RegistrySettingsTest, SaveWritesEightClampedDwords) {
    Settings s;
    s.themeMode = 7;
    s.mapTransparency = -3;
    s.rememberDepth = false;
    s.lastDepth = 2;
    ASSERT_TRUE(saveSettings(s));
    const std::pair<const wchar_t*, uint32_t> expected[] = {
        {L"SettingsVersion", 1}, {L"LanguageMode", 0}, {L"ThemeMode", 2},       {L"DefaultDepth", 0},
        {L"RememberDepth", 0},   {L"LastDepth", 2},    {L"LivePreview", 1},     {L"MapTransparency", 0},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(stored(name), std::make_pair(DWORD(REG_DWORD), value)) << std::filesystem::path(name);
}

TEST_F(RegistrySettingsTest, LegacyFileFromAppDataElseUserProfileElseTheCurrentFolder) {
    const std::wstring profile = temp.folder(L"profile");
    const std::wstring here = temp.folder(L"here");
    for (const wchar_t* f : {L"profile\\AppData", L"profile\\AppData\\Roaming", L"profile\\AppData\\Roaming\\fanOrbiter",
                             L"here\\fanOrbiter"})
        temp.folder(f);
    SetCurrentDirectoryW(here.c_str());
    const struct {
        const wchar_t* appData;  // null: not set
        const wchar_t* userProfile;
        std::wstring file;
    } cases[] = {
        {temp.root().c_str(), profile.c_str(), ini},
        {nullptr, profile.c_str(), profile + L"\\AppData\\Roaming\\fanOrbiter\\settings.ini"},
        {L"", profile.c_str(), here + L"\\fanOrbiter\\settings.ini"},  // set but empty still wins
        {nullptr, nullptr, here + L"\\settings.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::filesystem::path(c.file).string());
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetEnvironmentVariableW(L"APPDATA", c.appData);
        SetEnvironmentVariableW(L"USERPROFILE", c.userProfile);
        writeFile(c.file, "language=2\n");
        EXPECT_EQ(loadSettings().languageMode, 2);
        EXPECT_TRUE(fileExists(c.file + L".migrated"));
    }
}

TEST_F(RegistrySettingsTest, DarkOnlyForAFourByteZeroAppsUseLightTheme) {
    Settings system;
    EXPECT_FALSE(resolveDarkTheme(system));  // no value: light
    const struct {
        RawValue value;
        bool dark;
    } cases[] = {
        {dword(L"AppsUseLightTheme", 0), true},
        {dword(L"AppsUseLightTheme", 1), false},
        {{L"AppsUseLightTheme", REG_SZ, {'0', 0}}, false},
    };
    for (const auto& c : cases) {
        plant(kPersonalize, c.value);
        EXPECT_EQ(systemUsesDarkTheme(), c.dark);
        EXPECT_EQ(resolveDarkTheme(system), c.dark);
    }
    system.themeMode = 1;
    EXPECT_FALSE(resolveDarkTheme(system));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
}

// Wine takes the UI language from the Unix locale variables; the build runs
// this once under an English and once under a Russian locale and says which.
TEST(SystemLanguage, RussianOnlyWhenTheSystemsUiIsRussian) {
    const char* expect = std::getenv("FAN_EXPECT_RUSSIAN_UI");
    const bool russian = expect && std::string(expect) == "1";
    EXPECT_EQ(systemPrefersEnglish(), !russian);
    Settings automatic;
    automatic.languageMode = 5;  // anything but 1 and 2 asks the system
    EXPECT_EQ(resolveLanguage(automatic), russian ? 0 : 1);
}

}  // namespace
}  // namespace fan
