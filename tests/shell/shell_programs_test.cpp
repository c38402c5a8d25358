#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <unistd.h>

#include "shell_fixture.h"

namespace fan {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kHang = "exec /bin/sleep 5";

// The item's own path (S), its folder (F) or its file URI (U), as the
// argument each helper should have been given.
struct Expected { const char* program; char argument; };
enum Target { File, Folder, Missing };
struct FileManagerCase {
    Target target; bool select; const char *gdbus, *dbusSend, *xdgOpen;
    std::vector<Expected> calls; const char* message;
};

TEST_F(ShellTest, FileManagerShowsTheItemSelectedElseOpensItsFolder) {
    const FileManagerCase cases[] = {
        {File, true, "exit 0", nullptr, "exit 0", {{"gdbus", 'U'}}, ""},
        {Missing, true, "exit 0", nullptr, "exit 0", {{"gdbus", 'U'}}, ""},
        {File, true, "exit 1", nullptr, "exit 0", {{"gdbus", 'U'}, {"xdg-open", 'F'}}, ""},
        {File, true, kHang, nullptr, "exit 0", {{"gdbus", 'U'}, {"xdg-open", 'F'}}, ""},
        {File, true, nullptr, "exit 0", "exit 0", {{"dbus-send", 'U'}}, ""},
        {File, true, nullptr, nullptr, "exit 3", {{"xdg-open", 'F'}}, "File manager failed (exit status 3)"},
        {File, true, nullptr, nullptr, nullptr, {}, "File manager failed (No such file or directory)"},
        // An opener still running at the limit has handed the item on.
        {File, true, "exit 1", nullptr, kHang, {{"gdbus", 'U'}, {"xdg-open", 'F'}}, ""},
        {Folder, true, "exit 0", nullptr, "exit 0", {{"xdg-open", 'S'}}, ""},
        {File, false, "exit 0", nullptr, "exit 0", {{"xdg-open", 'S'}}, ""},
    };
    const std::string folder = temp.folder("x/" + kOddName).string();
    for (const FileManagerCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::filesystem::remove_all(path("bin"));
        std::filesystem::remove(path("record"));
        const std::string item = c.target == Folder ? folder : folder + "/" + kOddName;
        if (c.target == File) temp.write("x/" + kOddName + "/" + kOddName, "");
        for (auto [name, script] : {std::pair{"gdbus", c.gdbus}, {"dbus-send", c.dbusSend}, {"xdg-open", c.xdgOpen}})
            if (script) fakeProgram(name, script);

        const auto start = Clock::now();
        const ShellActionResult result = showInFileManager(item, c.select);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_EQ(result.ok, !*c.message);
        EXPECT_EQ(result.message, c.message);
        const std::vector<Call> made = calls();
        ASSERT_EQ(made.size(), c.calls.size());
        const std::string uri = "file://" + path("x/") + kOddEncoded + "/" + kOddEncoded;
        for (size_t i = 0; i < made.size(); ++i) {
            EXPECT_EQ(made[i].program, c.calls[i].program);
            const std::vector<std::string>& args = made[i].arguments;
            switch (c.calls[i].argument) {
                case 'S': EXPECT_EQ(args, std::vector<std::string>{item}); break;
                case 'F': EXPECT_EQ(args, std::vector<std::string>{folder}); break;
                default:
                    ASSERT_GE(args.size(), 2u);
                    EXPECT_EQ(args[args.size() - 2], made[i].program == "gdbus" ? "['" + uri + "']"
                                                                                 : "array:string:" + uri);
            }
        }
    }
}

int zombieChildren() {
    int zombies = 0;
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        std::ifstream in(process.path() / "stat");
        std::string line;
        std::getline(in, line);
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        pid_t parent = 0;
        if (rest >> state >> parent) zombies += state == 'Z' && parent == ::getpid();
    }
    return zombies;
}

// started: the terminal expected to run, or the message when none does.
struct TerminalCase { const char* chosen; std::vector<std::pair<const char*, mode_t>> present; bool folder; const char* started; };

TEST_F(ShellTest, TerminalOpensInTheFolderAndIsNotWaitedFor) {
    const TerminalCase cases[] = {
        {"my term", {{"my term", 0755}, {"xterm", 0755}}, false, "my term"},
        {"absent", {{"x-terminal-emulator", 0644}, {"konsole", 0755}}, true, "konsole"},
        {nullptr, {{"xterm", 0755}}, false, "xterm"},
        {nullptr, {{"xterm", 0644}}, true, "Terminal failed (Permission denied)"},
        {"absent", {}, true, "Terminal failed (No such file or directory)"},
    };
    const std::string folder = temp.folder(kOddName).string();
    temp.write(kOddName + "/file", "");
    for (const TerminalCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::filesystem::remove_all(path("bin"));
        std::filesystem::remove(path("record"));
        for (auto [name, mode] : c.present) fakeProgram(name, kHang, mode);
        setEnv("TERMINAL", c.chosen);

        const auto start = Clock::now();
        const ShellActionResult result = openTerminal(c.folder ? folder : folder + "/file");
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
        const bool fails = std::string(c.started).find("failed") != std::string::npos;
        EXPECT_EQ(result.message, fails ? c.started : "");
        const std::vector<Call> made = calls(fails ? 0 : 1);
        ASSERT_EQ(made.size(), fails ? 0u : 1u);
        if (made.empty()) continue;
        EXPECT_EQ(made[0].program, c.started);
        EXPECT_EQ(made[0].folder, folder);
        EXPECT_TRUE(made[0].arguments.empty());
    }
    // A terminal that has ended leaves no zombie behind.
    fakeProgram("xterm", "exit 0");
    setEnv("TERMINAL", nullptr);
    EXPECT_TRUE(openTerminal(folder).ok);
    calls(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(ShellTest, OpeningTheTrashFallsBackToItsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"exit 0", ""},
        {"[ \"$1\" = trash:/// ] && exit 4; exit 0", ""},
        {"exit 2", "Trash operation failed (exit status 2)"},
    };
    for (const auto& [script, message] : cases) {
        SCOPED_TRACE(script);
        std::filesystem::remove(path("record"));
        fakeProgram("xdg-open", script);
        EXPECT_EQ(openRecycleBin().message, message);
        const std::vector<Call> made = calls();
        ASSERT_EQ(made.size(), *script == 'e' && !*message ? 1u : 2u);
        EXPECT_EQ(made[0].arguments, std::vector<std::string>{"trash:///"});
        if (made.size() == 2) {
            EXPECT_EQ(made[1].arguments, std::vector<std::string>{path("data/Trash/files")});
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(path("data/Trash/files")));
    std::filesystem::remove(path("bin/xdg-open"));
    EXPECT_EQ(openRecycleBin().message, "Trash operation failed (No such file or directory)");
}

}  // namespace
}  // namespace fan
