#include <gtest/gtest.h>

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
// Scripts of the fakes (nullptr: none), the programs called, the message.
struct FileManagerCase { Target target; bool select; const char *gdbus, *dbusSend, *xdgOpen, *calls, *message; };

TEST_F(ShellTest, FileManagerShowsTheItemSelectedElseOpensItsFolder) {
    const FileManagerCase cases[] = {
        {File, true, "exit 0", nullptr, "exit 0", "gdbus ", ""},
        {Missing, true, "exit 0", nullptr, "exit 0", "gdbus ", ""},
        {File, true, "exit 1", nullptr, "exit 0", "gdbus xdg-open ", ""},
        {File, true, kHang, nullptr, "exit 0", "gdbus xdg-open ", ""},
        {File, true, nullptr, "exit 0", "exit 0", "dbus-send ", ""},
        {File, true, nullptr, nullptr, "exit 3", "xdg-open ", "File manager failed (exit status 3)"},
        {File, true, nullptr, nullptr, nullptr, "", "File manager failed (No such file or directory)"},
        // An opener still running at the limit has handed the item on.
        {File, true, "exit 1", nullptr, kHang, "gdbus xdg-open ", ""},
        {Folder, true, "exit 0", nullptr, "exit 0", "xdg-open ", ""},
        {File, false, "exit 0", nullptr, "exit 0", "xdg-open ", ""},
    };
    const std::string folder = temp.folder("x/" + kOddName).string(), file = folder + "/" + kOddName;
    const std::string uri = "file://" + path("x/") + kOddEncoded + "/" + kOddEncoded, here = fs::current_path();
    for (const FileManagerCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        fakePrograms({{"gdbus", c.gdbus}, {"dbus-send", c.dbusSend}, {"xdg-open", c.xdgOpen}});
        c.target == File ? (void)temp.write("x/" + kOddName + "/" + kOddName, "") : (void)fs::remove(file);
        const auto start = Clock::now();
        const ShellActionResult result = showInFileManager(c.target == Folder ? folder : file, c.select);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_TRUE(result.ok == !*c.message && result.message == c.message) << result.message;
        // Shown selected, the item goes to D-Bus as its URI and the fallback
        // opens its folder; otherwise the item itself is opened.
        std::string made;
        for (const std::string program : {"gdbus", "dbus-send", "xdg-open"}) {
            const Strings call = recorded(program);
            if (program == "xdg-open" && !call.empty()) {
                EXPECT_EQ(call, (Strings{here, c.select || c.target == Folder ? folder : file}));
            } else if (!call.empty()) {
                EXPECT_EQ(call.end()[-2], program == "gdbus" ? "['" + uri + "']" : "array:string:" + uri);
            }
            made += call.empty() ? "" : program + " ";
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
        SCOPED_TRACE(started);
        std::vector<std::pair<std::string, const char*>> programs;
        for (const std::string& name : present)
            programs.push_back({name.substr(name[0] == '!'), name[0] == '!' ? "" : "exec /bin/sleep 1"});
        fakePrograms(programs);
        setEnv("TERMINAL", chosen);
        const auto start = Clock::now();
        const ShellActionResult result = openTerminal(inFolder ? folder : folder + "/file");
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
        const bool fails = started.find("failed") != std::string::npos;
        EXPECT_EQ(result.message, fails ? started : "");
        for (const std::string& name : present)
            EXPECT_EQ(recorded(name, name == started), name == started ? Strings{folder} : Strings{}) << name;
    }
    // The terminals have ended by now and left no zombie behind.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    siginfo_t ended{};
    ::waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT);
    EXPECT_EQ(ended.si_pid, 0);
}

TEST_F(ShellTest, OpeningTheTrashFallsBackToItsFolder) {
    const std::string files = path("data/Trash/files"), here = fs::current_path();
    const std::tuple<const char*, const char*, Strings> cases[] = {
        {"exit 0", "", {here, "trash:///"}},
        {"[ \"$1\" = trash:/// ] && exit 4; exit 0", "", {here, "trash:///", here, files}},
        {nullptr, "Trash operation failed (No such file or directory)", {}},
    };
    for (const auto& [script, message, made] : cases) {
        SCOPED_TRACE(message);
        fakePrograms({{"xdg-open", script}});
        EXPECT_EQ(openRecycleBin().message, message);
        EXPECT_EQ(recorded("xdg-open"), made);
    }
    EXPECT_TRUE(fs::is_directory(files));
}

}  // namespace
}  // namespace fan
