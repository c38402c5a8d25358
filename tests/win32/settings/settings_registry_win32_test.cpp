// The settings store against Wine's registry and file system: which values
// count, the legacy file's place and migration, and the system queries.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "settings/settings_store.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

const wchar_t kKey[] = L"Software\\fanOrbiter";
const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

std::vector<int> fieldsOf(const Settings& s) {
    return {s.languageMode, s.themeMode,   s.defaultDepth,   s.rememberDepth,
            s.lastDepth,    s.livePreview, s.mapTransparency};
}

struct RawValue {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

RawValue dword(const wchar_t* name, uint32_t v) {
    return {name, REG_DWORD, {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}};
}

void plant(const wchar_t* key, const RawValue& v) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, v.name, v.type, v.data.data(), DWORD(v.data.size())), 0);
}

void writeFile(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetEnvironmentVariableW(L"APPDATA", temp.root().c_str());
        temp.folder(L"fanOrbiter");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    testing::Win32TempTree temp;
    std::wstring ini = temp.join(L"fanOrbiter\\settings.ini");
};

TEST_F(RegistrySettingsTest, OnlyFourByteDwordsCountAndAnyOneKeepsTheLegacyFileAway) {
    const struct {
        std::vector<RawValue> values;
        const char* legacy;
        std::vector<int> expected;
        bool migrated;
    } cases[] = {
        {{dword(L"ThemeMode", 0xFFFFFFFF), dword(L"LastDepth", 9), dword(L"LivePreview", 7),
          dword(L"RememberDepth", 0)},
         "theme=2\n",
         {0, 0, 0, 0, 2, 1, 35},
         false},
        // Another type or size is no value, so the legacy file decides; it
        // is read in text mode, so CR LF line ends parse as LF ones.
        {{{L"LanguageMode", REG_SZ, {'1', 0, 0, 0}},
          {L"ThemeMode", REG_DWORD, {1, 0}},
          {L"LastDepth", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
          {L"DefaultDepth", REG_BINARY, {1, 0, 0, 0}}},
         "theme=2\r\nlive_preview=false\r\n",
         {0, 2, 0, 1, 0, 0, 35},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        DeleteFileW((ini + L".migrated").c_str());
        for (const RawValue& value : c.values)
            plant(kKey, value);
        writeFile(ini, c.legacy);
        EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        EXPECT_EQ(exists(ini + L".migrated"), c.migrated);
        EXPECT_EQ(exists(ini), !c.migrated);
        if (c.migrated) {  // saved as four-byte DWORDs, read back from there
            DWORD version = 0, size = sizeof version;
            EXPECT_EQ(
                RegGetValueW(HKEY_CURRENT_USER, kKey, L"SettingsVersion", RRF_RT_REG_DWORD, nullptr, &version, &size),
                0);
            EXPECT_EQ(version, 1u);
            EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        }
    }
}

TEST_F(RegistrySettingsTest, LegacyFileFromAppDataElseUserProfileElseTheCurrentFolder) {
    const std::wstring profile = temp.folder(L"p"), here = temp.folder(L"h");
    for (const wchar_t* f :
         {L"p\\AppData", L"p\\AppData\\Roaming", L"p\\AppData\\Roaming\\fanOrbiter", L"h\\fanOrbiter"})
        temp.folder(f);
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(here.c_str());
    const struct {
        const wchar_t *appData, *userProfile;  // null: not set
        std::wstring file;
    } cases[] = {
        {temp.root().c_str(), profile.c_str(), ini},
        {nullptr, profile.c_str(), profile + L"\\AppData\\Roaming\\fanOrbiter\\settings.ini"},
        {L"", profile.c_str(), here + L"\\fanOrbiter\\settings.ini"},  // set but empty still wins
        {nullptr, nullptr, here + L"\\settings.ini"},
    };
    for (const auto& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetEnvironmentVariableW(L"APPDATA", c.appData);
        SetEnvironmentVariableW(L"USERPROFILE", c.userProfile);
        writeFile(c.file, "language=2\n");
        EXPECT_EQ(loadSettings().languageMode, 2) << &c - cases;
        EXPECT_TRUE(exists(c.file + L".migrated"));
    }
    SetCurrentDirectoryW(saved);
}

TEST(SystemPreferences, DarkOnlyForAFourByteZeroAppsUseLightTheme) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
    EXPECT_FALSE(systemUsesDarkTheme());
    const std::pair<RawValue, bool> cases[] = {{dword(L"AppsUseLightTheme", 0), true},
                                               {dword(L"AppsUseLightTheme", 2), false},
                                               {{L"AppsUseLightTheme", REG_SZ, {'0', 0}}, false}};
    for (const auto& [value, dark] : cases) {
        plant(kPersonalize, value);
        EXPECT_EQ(resolveDarkTheme(Settings{}), dark);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
}

// Wine takes the UI language from the Unix locale; the build runs this
// once under an English and once under a Russian locale and says which.
TEST(SystemPreferences, RussianOnlyWhenTheSystemsUiIsRussian) {
    const char* russian = std::getenv("FAN_EXPECT_RUSSIAN_UI");
    Settings automatic;
    automatic.languageMode = 5;  // anything but 1 and 2 asks the system
    EXPECT_EQ(resolveLanguage(automatic), russian && std::string(russian) == "1" ? 0 : 1);
}

}  // namespace
}  // namespace fan
