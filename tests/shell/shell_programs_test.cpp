#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/wait.h>

#include "shell_fixture.h"

namespace fan {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kHang = "exec /bin/sleep 5";

enum Target { File, Folder, Missing };
// Scripts of the fakes (nullptr: none); each program called and what it was
// given: S the item itself, F its folder, U its file URI.
struct FileManagerCase { Target target; bool select; const char *gdbus, *dbusSend, *xdgOpen, *calls, *message; };

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
        c.target == File ? (void)temp.write("x/" + kOddName + "/" + kOddName, "") : (void)std::filesystem::remove(file);
        const auto start = Clock::now();
        const ShellActionResult result = showInFileManager(c.target == Folder ? folder : file, c.select);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_TRUE(result.ok == !*c.message && result.message == c.message) << result.message;
        std::string made;
        for (const char* program : {"gdbus", "dbus-send", "xdg-open"}) {
            const Strings call = recorded(program);
            if (call.empty()) continue;
            const Strings arguments(call.begin() + 1, call.end());
            const std::string uriArgument = arguments.size() > 1 ? arguments.end()[-2] : "";
            const bool toUri = uriArgument == "['" + uri + "']" || uriArgument == "array:string:" + uri;
            made += program + std::string(arguments == Strings{c.target == Folder ? folder : file} ? ":S "
                                          : arguments == Strings{folder}                        ? ":F "
                                          : toUri                                               ? ":U "
                                                                                                : ":? ");
        }
        EXPECT_EQ(made, c.calls);
    }
}

TEST_F(ShellTest, TerminalOpensInTheFolderAndIsNotWaitedFor) {
    // $TERMINAL, the programs in PATH (and their mode), whether a folder is
    // given; the terminal that should run, or the message when none can.
    const std::tuple<const char*, Strings, mode_t, bool, std::string> cases[] = {
        {"my term", {"my term", "xterm"}, 0755, false, "my term"},
        {"absent", {"konsole", "xterm"}, 0755, true, "konsole"},
        {nullptr, {"x-terminal-emulator", "xterm"}, 0644, true, "Terminal failed (Permission denied)"},
        {"absent", {}, 0755, true, "Terminal failed (No such file or directory)"},
    };
    const std::string folder = temp.folder(kOddName).string();
    temp.write(kOddName + "/file", "");
    for (const auto& [chosen, present, mode, inFolder, started] : cases) {
        SCOPED_TRACE(started);
        std::vector<std::pair<std::string, const char*>> programs;
        for (const std::string& name : present) programs.push_back({name, kHang});
        fakePrograms(programs, mode);
        setEnv("TERMINAL", chosen);
        const auto start = Clock::now();
        const ShellActionResult result = openTerminal(inFolder ? folder : folder + "/file");
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
        const bool fails = started.find("failed") != std::string::npos;
        EXPECT_EQ(result.message, fails ? started : "");
        for (const std::string& name : present)
            EXPECT_EQ(recorded(name, name == started), name == started ? Strings{folder} : Strings{}) << name;
    }
    // A terminal that has ended leaves no zombie behind.
    fakePrograms({{"xterm", "exit 0"}});
    EXPECT_TRUE(openTerminal(folder).ok);
    recorded("xterm", true);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    siginfo_t ended{};
    ::waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT);
    EXPECT_EQ(ended.si_pid, 0);
}

TEST_F(ShellTest, OpeningTheTrashFallsBackToItsFolder) {
    const std::string files = path("data/Trash/files"), here = std::filesystem::current_path();
    const std::tuple<const char*, const char*, Strings> cases[] = {
        {"exit 0", "", {here, "trash:///"}},
        {"[ \"$1\" = trash:/// ] && exit 4; exit 0", "", {here, "trash:///", here, files}},
        {"exit 2", "Trash operation failed (exit status 2)", {here, "trash:///", here, files}},
        {nullptr, "Trash operation failed (No such file or directory)", {}},
    };
    for (const auto& [script, message, made] : cases) {
        SCOPED_TRACE(message);
        fakePrograms({{"xdg-open", script}});
        EXPECT_EQ(openRecycleBin().message, message);
        EXPECT_EQ(recorded("xdg-open"), made);
    }
    EXPECT_TRUE(std::filesystem::is_directory(files));
}

}  // namespace
}  // namespace fan
