// The settings store against Wine's registry and file system: which values
// count, the legacy file's place and migration, and the system queries.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "settings/regular_file.h"
#include "settings/settings_store.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

const wchar_t kKey[] = L"Software\\fanOrbiter";
const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

void plant(const wchar_t* key, const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, name, type, data.data(), DWORD(data.size())), 0);
}

void writeFile(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

// The C runtime's copy of the environment, so unset stays unset when put back.
std::optional<std::wstring> variable(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? std::optional<std::wstring>(value) : std::nullopt;
}

// Each test starts with no stored settings; the environment and the
// current folder are put back afterwards.
class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        GetCurrentDirectoryW(MAX_PATH, folder);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetCurrentDirectoryW(folder);
        SetEnvironmentVariableW(L"APPDATA", appData ? appData->c_str() : nullptr);
        SetEnvironmentVariableW(L"USERPROFILE", userProfile ? userProfile->c_str() : nullptr);
    }
    const std::optional<std::wstring> appData = variable(L"APPDATA");
    const std::optional<std::wstring> userProfile = variable(L"USERPROFILE");
    wchar_t folder[MAX_PATH] = {};
    testing::Win32TempTree temp;
};

TEST_F(RegistrySettingsTest, OnlyAFourByteDwordIsAValue) {
    plant(kKey, L"ThemeMode", REG_DWORD, {1, 0});
    plant(kKey, L"DefaultDepth", REG_BINARY, {1, 0, 0, 0});
    const Settings loaded = loadSettings();
    EXPECT_EQ(loaded.themeMode, 0);
    EXPECT_EQ(loaded.defaultDepth, 0);
}

// Looked for under APPDATA, else the user profile, else the current folder;
// CR LF line ends parse as LF ones.
TEST_F(RegistrySettingsTest, TheLegacyFileMovesIntoTheRegistryFromWhereItIs) {
    const std::wstring profile = temp.folder(L"p");
    const std::wstring here = temp.folder(L"h");
    for (const wchar_t* f :
         {L"fanOrbiter", L"p\\AppData", L"p\\AppData\\Roaming", L"p\\AppData\\Roaming\\fanOrbiter", L"h\\fanOrbiter"})
        temp.folder(f);
    SetCurrentDirectoryW(here.c_str());
    const struct {
        const char* name;
        const wchar_t *appData, *userProfile;  // null: not set
        std::wstring file;
    } rows[] = {
        {"APPDATA", temp.root().c_str(), profile.c_str(), temp.join(L"fanOrbiter\\settings.ini")},
        {"no APPDATA", nullptr, profile.c_str(), profile + L"\\AppData\\Roaming\\fanOrbiter\\settings.ini"},
        {"an empty APPDATA still wins", L"", profile.c_str(), here + L"\\fanOrbiter\\settings.ini"},
        {"neither", nullptr, nullptr, here + L"\\settings.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetEnvironmentVariableW(L"APPDATA", row.appData);
        SetEnvironmentVariableW(L"USERPROFILE", row.userProfile);
        writeFile(row.file, "theme=2\r\nlive_preview=false\r\n");
        EXPECT_EQ(loadSettings().themeMode, 2);
        EXPECT_NE(GetFileAttributesW((row.file + L".migrated").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetFileAttributesW(row.file.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(loadSettings().livePreview);  // now from the registry
    }
}

// A pipe named in the file's place would wait for its writer; a file too
// large is not a settings file.
TEST_F(RegistrySettingsTest, ALegacyFileThatIsNotASmallRegularFileIsLeftAlone) {
    const std::wstring pipeFolder = L"\\\\.\\pipe\\fan-test-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeW((pipeFolder + L"\\fanOrbiter\\settings.ini").c_str(), PIPE_ACCESS_OUTBOUND,
                                         PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    temp.folder(L"fanOrbiter");
    writeFile(temp.join(L"fanOrbiter\\settings.ini"), "theme=2\r\n" + std::string(kMaxRegularFileSize, '\n'));
    const struct {
        const char* name;
        std::wstring appData;
    } rows[] = {{"a named pipe", pipeFolder}, {"a file too large", temp.root()}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetEnvironmentVariableW(L"APPDATA", row.appData.c_str());
        EXPECT_EQ(loadSettings().themeMode, 0);
        EXPECT_EQ(GetFileAttributesW(temp.join(L"fanOrbiter\\settings.ini.migrated").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    CloseHandle(pipe);
}

TEST(SystemPreferences, DarkOnlyWhenAppsUseLightThemeIsZero) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
    EXPECT_FALSE(systemUsesDarkTheme());
    plant(kPersonalize, L"AppsUseLightTheme", REG_DWORD, {0, 0, 0, 0});
    EXPECT_TRUE(systemUsesDarkTheme());
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
