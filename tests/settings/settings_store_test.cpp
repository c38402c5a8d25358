#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/settings_store.h"
#include "settings_fixture.h"

namespace fan {
namespace {

using Fields = std::vector<int>;  // language, theme, default, remember, last, preview, transparency

Fields fieldsOf(const Settings& s) {
    return {s.languageMode, s.themeMode,   s.defaultDepth,   s.rememberDepth,
            s.lastDepth,    s.livePreview, s.mapTransparency};
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A system call's failure.
int failWith(int error) {
    errno = error;
    return -1;
}

// store nullptr: no store file.
struct LoadCase {
    const char* name;
    const char* store;
    const char* legacy;
    Fields expected;
    bool migrated;
};

TEST_F(SettingsTest, LoadTakesCountingStoreValuesElseMigratesTheLegacyFile) {
    const LoadCase cases[] = {
        // One counting value is enough to leave the legacy file alone.
        {"one value clamped", "MapTransparency=250\n", "theme=2\n", {0, 0, 0, 1, 0, 1, 100}, false},
        {"flags and CR LF", "RememberDepth=0\r\nLivePreview=7\n", "theme=2\n", {0, 0, 0, 0, 0, 1, 35}, false},
        // Nothing here is a whole 32-bit number, so the legacy file decides.
        {"nothing counts",
         "LanguageMode=abc\nThemeMode=4294967295\nLastDepth=1.0\nDefaultDepth= 1\nLivePreview=\nlanguagemode=1\n",
         "theme=2\n",
         {0, 2, 0, 1, 0, 1, 35},
         true},
        {"Windows line ends", nullptr, "live_preview=no\r\nlast_depth=2\r\n", {0, 0, 0, 1, 2, 0, 35}, true},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(storeFolder());
        if (c.store) temp.write("config/fanOrbiter/settings.conf", c.store);
        temp.write("config/fanOrbiter/settings.ini", c.legacy);

        EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        EXPECT_EQ(std::filesystem::exists(storeFolder() + "/settings.ini.migrated"), c.migrated);
        EXPECT_EQ(std::filesystem::exists(storeFolder() + "/settings.ini"), !c.migrated);
        // A migrated file's values now come from the store.
        if (c.migrated) {
            EXPECT_EQ(fieldsOf(loadSettings()), c.expected);
        }
    }
}

TEST_F(SettingsTest, ARelativeConfigHomeIsIgnored) {
    setEnv("XDG_CONFIG_HOME",
           std::filesystem::relative(temp.root() / "relative", std::filesystem::current_path()).c_str());
    ASSERT_TRUE(saveSettings(Settings{}));
    EXPECT_TRUE(std::filesystem::exists(temp.root() / ".config/fanOrbiter/settings.conf"));
}

TEST_F(SettingsTest, AStoreThatIsASymbolicLinkIsSavedThroughTheLink) {
    temp.folder("dotfiles");
    temp.folder("config/fanOrbiter");
    std::filesystem::create_symlink("../../dotfiles/settings.conf", storeFolder() + "/settings.conf");
    ASSERT_TRUE(saveSettings(Settings{0, 2}));
    EXPECT_TRUE(std::filesystem::is_symlink(storeFolder() + "/settings.conf"));
    EXPECT_EQ(readText((temp.root() / "dotfiles/settings.conf").string()).rfind("SettingsVersion=1\n", 0), 0u);
    EXPECT_EQ(loadSettings().themeMode, 2);
}

TEST_F(SettingsTest, AFailedSaveLeavesTheOldStoreWholeAndNoTemporaryFile) {
    using Calls = SettingsFileCalls;
    const std::pair<const char*, void (*)(Calls&)> faults[] = {
        {"write", [](Calls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return failWith(ENOSPC); }; }},
        // Takes half of what it is given each time, then fails near the end.
        {"short write",
         [](Calls& c) {
             c.write = [](int, const void*, size_t n) -> ssize_t { return n > 8 ? ssize_t(n / 2) : failWith(EIO); };
         }},
        {"fsync", [](Calls& c) { c.fsync = [](int) { return failWith(EIO); }; }},
        {"rename", [](Calls& c) { c.rename = [](const char*, const char*) { return failWith(EXDEV); }; }},
    };
    ASSERT_TRUE(saveSettings(Settings{0, 1}));
    const std::string before = readText(storeFolder() + "/settings.conf");
    for (const auto& [name, fail] : faults) {
        SCOPED_TRACE(name);
        fail(settingsFileCalls);
        EXPECT_FALSE(saveSettings(Settings{}));
        settingsFileCalls = savedCalls;
        EXPECT_EQ(readText(storeFolder() + "/settings.conf"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(storeFolder()), {}), 1);
    }
}

TEST_F(SettingsTest, LegacyFileStaysWhenItsMigrationCannotBeSaved) {
    temp.write("config/fanOrbiter/settings.ini", "theme=2\n");
    settingsFileCalls.fsync = [](int) { return failWith(EIO); };
    EXPECT_EQ(loadSettings().themeMode, 2);
    EXPECT_TRUE(std::filesystem::exists(storeFolder() + "/settings.ini"));
    EXPECT_FALSE(std::filesystem::exists(storeFolder() + "/settings.conf"));
}

}  // namespace
}  // namespace fan
