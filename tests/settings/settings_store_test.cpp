#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <thread>

#include "settings/regular_file.h"
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

// Runs `read` on a thread of its own: its answer, or nullopt when it has not
// answered within ten seconds (the thread is then left behind).
std::optional<bool> answerInTime(bool (*read)()) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> future = answer->get_future();
    std::thread([answer, read] { answer->set_value(read()); }).detach();
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) return std::nullopt;
    return future.get();
}

// A preferences file the program reads, a text that asks for the dark theme
// there, and whether the program then says the theme is dark.
struct PreferenceFile {
    const char* path;  // below the temporary root
    const char* darkText;
    bool (*readsDark)();
};

// What stands where the file should be; nullptr: a regular file holding
// the dark text followed by `padding` line feeds.
struct StandIn {
    const char* name;
    void (*make)(const std::string& path);
    size_t padding;
    bool read;
};

TEST_F(SettingsTest, PreferenceFilesCountOnlyWhenTheyAreSmallRegularFiles) {
    setEnv("PATH", temp.folder("no-programs").c_str());  // no gsettings to ask
    setEnv("GTK_THEME", nullptr);
    const auto storeDark = [] { return loadSettings().themeMode == 2; };
    const PreferenceFile files[] = {
        {"config/gtk-3.0/settings.ini", "[Settings]\ngtk-application-prefer-dark-theme=1\n", systemUsesDarkTheme},
        {"config/fanOrbiter/settings.conf", "ThemeMode=2\n", storeDark},
        {"config/fanOrbiter/settings.ini", "theme=2\n", storeDark},
    };
    const StandIn standIns[] = {
        {"a small regular file", nullptr, 0, true},
        {"a FIFO", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }, 0, false},
        {"a link to /dev/zero", [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }, 0,
         false},
        {"a file too large", nullptr, kMaxRegularFileSize, false},
    };
    for (const PreferenceFile& file : files) {
        for (const StandIn& standIn : standIns) {
            SCOPED_TRACE(std::string(file.path) + " as " + standIn.name);
            std::filesystem::remove_all(temp.root() / "config");
            const std::string path = (temp.root() / file.path).string();
            if (standIn.make) {
                std::filesystem::create_directories(std::filesystem::path(path).parent_path());
                standIn.make(path);
            } else {
                temp.write(file.path, file.darkText + std::string(standIn.padding, '\n'));
            }
            EXPECT_EQ(answerInTime(file.readsDark), std::optional<bool>(standIn.read));
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

TEST_F(SettingsTest, SavingKeepsTheModeOfTheFileItReplaces) {
    const std::pair<const char*, bool> rows[] = {{"the store itself", false}, {"the target of a linked store", true}};
    for (const auto& [name, linked] : rows) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(temp.root() / "config");
        const std::string file = linked ? "dotfiles/settings.conf" : "config/fanOrbiter/settings.conf";
        const std::string path = temp.write(file, "ThemeMode=1\n").string();
        if (linked)
            std::filesystem::create_symlink("../../" + file, temp.folder("config/fanOrbiter") / "settings.conf");
        ::chmod(path.c_str(), 0600);
        ASSERT_TRUE(saveSettings(Settings{0, 2}));
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
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
        {"fchmod", [](Calls& c) { c.fchmod = [](int, mode_t) { return failWith(EPERM); }; }},
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
