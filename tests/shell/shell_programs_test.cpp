#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "shell_fixture.h"

namespace fan {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
// Far longer than any limit, so a call that waited for it would show.
constexpr const char* kHang = "exec /bin/sleep 60";
constexpr auto kGenerous = std::chrono::seconds(20);

enum Target { File, Folder };
// Scripts of the fakes (nullptr: none); each call made, as the program and
// what names the item: S the item itself, F its folder, U its file URI.
struct FileManagerCase {
    const char* name;
    Target target;
    const char* gdbus;
    const char* xdgOpen;
    const char* calls;
    const char* message;
};

TEST_F(ShellTest, FileManagerShowsTheItemSelectedElseOpensItsFolder) {
    const FileManagerCase cases[] = {
        {"file selected", File, "exit 0", "exit 0", "gdbus:U ", ""},
        {"D-Bus hangs", File, kHang, "exit 0", "gdbus:U xdg-open:F ", ""},
        {"opener fails", File, nullptr, "exit 3", "xdg-open:F ", "File manager failed (exit status 3)"},
        // An opener still running at the limit has handed the item on.
        {"opener stays", File, "exit 1", kHang, "gdbus:U xdg-open:F ", ""},
        {"folder opened", Folder, "exit 0", "exit 0", "xdg-open:S ", ""},
    };
    const std::string folder = temp.folder("x/" + kOddName).string();
    const std::string file = temp.write("x/" + kOddName + "/" + kOddName, "").string();
    const std::string uri = "file://" + path("x/") + kOddEncoded + "/" + kOddEncoded;
    auto describe = [&](const std::string& named, const std::string& item) {
        if (named == item) return ":S ";
        if (named == folder) return ":F ";
        if (named == "['" + uri + "']") return ":U ";
        return ":? ";
    };
    for (const FileManagerCase& c : cases) {
        SCOPED_TRACE(c.name);
        fakePrograms({{"gdbus", c.gdbus}, {"xdg-open", c.xdgOpen}});
        const std::string item = c.target == Folder ? folder : file;
        const auto start = Clock::now();
        const ShellActionResult result = showInFileManager(item, true);
        EXPECT_LT(Clock::now() - start, kGenerous);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.ok, result.message.empty());
        std::string made;
        for (const std::string program : {"gdbus", "xdg-open"}) {
            const Strings call = recorded(program);  // its folder, then its arguments
            if (call.size() < 2) continue;
            const std::string named = program == "xdg-open" ? call[1] : call.end()[-2];
            made += program + describe(named, item);
        }
        EXPECT_EQ(made, c.calls);
    }
}

TEST_F(ShellTest, TerminalOpensInTheFolderAndIsNotWaitedFor) {
    // It stays until the test's folders are gone, at most a minute.
    const std::string stays =
        "i=0; while [ -d '" + path("") + "' ] && [ $i -lt 600 ]; do /bin/sleep 0.1; i=$((i+1)); done";
    fakePrograms({{"my term", stays.c_str()}, {"xterm", "exit 0"}});
    setEnv("TERMINAL", "my term");
    const std::string folder = temp.folder(kOddName).string();
    const auto start = Clock::now();
    EXPECT_EQ(openTerminal(temp.write(kOddName + "/file", "")).message, "");
    EXPECT_LT(Clock::now() - start, kGenerous);
    EXPECT_EQ(recorded("my term", true), Strings{folder});
    EXPECT_EQ(recorded("xterm"), Strings{});
}

TEST_F(ShellTest, ATerminalThatCannotRunIsReported) {
    fakePrograms({{"xterm", ""}});
    EXPECT_EQ(openTerminal(path("")).message, "Terminal failed (Permission denied)");
}

// Nor can a terminal that starts another program by name reach one there.
TEST_F(ShellTest, TerminalIsNeverStartedFromTheFolderItOpens) {
    const std::string folder = temp.folder("opened").string();
    const std::string wrapper =
        "x-terminal-emulator 2>/dev/null; printf '%s\\0' \"$PATH\" > '" + path("records/child PATH") + "'";
    fakePrograms({{"xterm", wrapper.c_str()}});
    ::chmod(temp.write("opened/x-terminal-emulator", "#!/bin/sh\n: > '" + path("records/planted") + "'\n").c_str(),
            0755);
    setEnv("PATH", (":.:opened:" + path("bin") + "::").c_str());
    EXPECT_EQ(openTerminal(folder).message, "");
    EXPECT_EQ(recorded("xterm", true), Strings{folder});
    EXPECT_EQ(recorded("child PATH", true), Strings{path("bin")});
    EXPECT_FALSE(fs::exists(path("records/planted")));
}

// The dynamic loader reads an empty or relative entry of its library path
// as the folder the program starts in: a library planted in the folder a
// terminal opens would be loaded into it.
TEST_F(ShellTest, TerminalLoadsNoLibraryFromTheFolderItOpens) {
    const std::string folder = temp.folder("opened").string();
    const std::string wrapper =
        "printf '%s\\0' \"${LD_LIBRARY_PATH-(unset)}\" > '" + path("records/child LD_LIBRARY_PATH") + "'";
    fakePrograms({{"xterm", wrapper.c_str()}});
    const struct {
        const char* name;
        std::string libraryPath;
        std::string received;
    } rows[] = {{"absolute entries kept", ":.:opened:" + path("lib") + "::/usr/lib/x:", path("lib") + ":/usr/lib/x"},
                {"none absolute", ":opened:", "(unset)"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(path("records/child LD_LIBRARY_PATH"));
        setEnv("LD_LIBRARY_PATH", row.libraryPath.c_str());
        EXPECT_EQ(openTerminal(folder).message, "");
        setEnv("LD_LIBRARY_PATH", nullptr);
        EXPECT_EQ(recorded("child LD_LIBRARY_PATH", true), Strings{row.received});
    }
}

TEST_F(ShellTest, OpeningTheTrashFallsBackToItsFolderOnlyWhenTheTrashCannotBeShown) {
    const std::string here = fs::current_path();
    fakePrograms({{"xdg-open", "exit 0"}});
    EXPECT_EQ(openRecycleBin().message, "");
    EXPECT_EQ(recorded("xdg-open"), (Strings{here, "trash:///"}));
    fakePrograms({{"xdg-open", "[ \"$1\" = trash:/// ] && exit 4; exit 0"}});
    EXPECT_EQ(openRecycleBin().message, "");
    const std::string files = path("data/Trash/files");
    EXPECT_EQ(recorded("xdg-open"), (Strings{here, "trash:///", here, files}));
    EXPECT_TRUE(fs::is_directory(files));
}

}  // namespace
}  // namespace fan
