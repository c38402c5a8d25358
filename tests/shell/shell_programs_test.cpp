#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/wait.h>

#include "shell_fixture.h"

namespace fan {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr const char* kHang = "exec /bin/sleep 5";

enum Target { File, Folder, Missing };
// Scripts of the fakes (nullptr: none); each call made, as the program and
// what names the item: S the item itself, F its folder, U its file URI.
struct FileManagerCase {
    Target target;
    bool select;
    const char *gdbus, *dbusSend, *xdgOpen, *calls, *message;
};

TEST_F(ShellTest, FileManagerShowsTheItemSelectedElseOpensItsFolder) {
    const FileManagerCase cases[] = {
        {File, true, "exit 0", nullptr, "exit 0", "gdbus:U ", ""},
        {Missing, true, "exit 0", nullptr, "exit 0", "gdbus:U ", ""},
        {File, true, "exit 1", nullptr, "exit 0", "gdbus:U xdg-open:F ", ""},
        {File, true, kHang, nullptr, "exit 0", "gdbus:U xdg-open:F ", ""},
        {File, true, nullptr, "exit 0", "exit 0", "dbus-send:U ", ""},
        {File, true, nullptr, nullptr, "exit 3", "xdg-open:F ", "File manager failed (exit status 3)"},
        {File, true, nullptr, nullptr, nullptr, "", "File manager failed (No such file or directory)"},
        // An opener still running at the limit has handed the item on.
        {File, true, "exit 1", nullptr, kHang, "gdbus:U xdg-open:F ", ""},
        {Folder, true, "exit 0", nullptr, "exit 0", "xdg-open:S ", ""},
        {File, false, "exit 0", nullptr, "exit 0", "xdg-open:S ", ""},
    };
    const std::string folder = temp.folder("x/" + kOddName).string(), file = folder + "/" + kOddName;
    const std::string uri = "file://" + path("x/") + kOddEncoded + "/" + kOddEncoded;
    for (const FileManagerCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        fakePrograms({{"gdbus", c.gdbus}, {"dbus-send", c.dbusSend}, {"xdg-open", c.xdgOpen}});
        c.target == File ? (void)temp.write("x/" + kOddName + "/" + kOddName, "") : (void)fs::remove(file);
        const auto start = Clock::now();
        const ShellActionResult result = showInFileManager(c.target == Folder ? folder : file, c.select);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_TRUE(result.ok == !*c.message && result.message == c.message) << result.message;
        std::string made;
        for (const std::string program : {"gdbus", "dbus-send", "xdg-open"}) {
            const Strings call = recorded(program);  // its folder, then its arguments
            if (call.size() < 2) continue;
            const std::string named = program == "xdg-open" && call.size() == 2 ? call[1] : call.end()[-2];
            made += program + (named == (c.target == Folder ? folder : file)                  ? ":S "
                               : named == folder                                              ? ":F "
                               : named == "['" + uri + "']" || named == "array:string:" + uri ? ":U "
                                                                                              : ":? ");
        }
        EXPECT_EQ(made, c.calls);
    }
}

TEST_F(ShellTest, TerminalOpensInTheFolderAndIsNotWaitedFor) {
    // $TERMINAL, the programs in PATH (!: one that cannot run), whether a
    // folder is given; the terminal that should run, or the message.
    const std::tuple<const char*, Strings, bool, std::string> cases[] = {
        {"my term", {"my term", "xterm"}, false, "my term"},
        {"absent", {"!x-terminal-emulator", "konsole", "xterm"}, true, "konsole"},
        {nullptr, {"!xterm"}, true, "Terminal failed (Permission denied)"},
        {"absent", {}, true, "Terminal failed (No such file or directory)"},
    };
    const std::string folder = temp.folder(kOddName).string();
    temp.write(kOddName + "/file", "");
    for (const auto& [chosen, present, inFolder, started] : cases) {
        std::vector<std::pair<std::string, const char*>> programs;
        for (const std::string& name : present)
            programs.push_back({name.substr(name[0] == '!'), name[0] == '!' ? "" : "exec /bin/sleep 2"});
        fakePrograms(programs);
        setEnv("TERMINAL", chosen);
        const auto start = Clock::now();
        const ShellActionResult result = openTerminal(inFolder ? folder : folder + "/file");
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));  // the terminal runs 2 s
        const bool fails = started.find("failed") != std::string::npos;
        EXPECT_EQ(result.message, fails ? started : "");
        for (const std::string& name : present)
            EXPECT_EQ(recorded(name, name == started), name == started ? Strings{folder} : Strings{}) << name;
    }
    // Once the terminals end they are reaped: no child, not even a zombie,
    // is left (a loaded machine gets a few seconds for it).
    bool allReaped = false;
    for (const auto deadline = Clock::now() + std::chrono::seconds(8); !allReaped && Clock::now() < deadline;) {
        siginfo_t ended{};
        allReaped = ::waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
        if (!allReaped) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(allReaped);
}

TEST_F(ShellTest, OpeningTheTrashFallsBackToItsFolder) {
    const std::string files = path("data/Trash/files"), here = fs::current_path();
    const std::tuple<const char*, const char*, Strings> cases[] = {
        {"exit 0", "", {here, "trash:///"}},
        {"[ \"$1\" = trash:/// ] && exit 4; exit 0", "", {here, "trash:///", here, files}},
        {nullptr, "Trash operation failed (No such file or directory)", {}},
    };
    for (const auto& [script, message, made] : cases) {
        fakePrograms({{"xdg-open", script}});
        EXPECT_EQ(openRecycleBin().message, message);
        EXPECT_EQ(recorded("xdg-open"), made);
    }
    EXPECT_TRUE(fs::is_directory(files));
}

}  // namespace
}  // namespace fan
