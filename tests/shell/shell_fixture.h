// A private home, data folder, PATH and mount table for each shell-action
// test, and fake helper programs that record how they were started. Every
// test of this program starts from here, so only the call table is put back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

#include "shell/shell_actions.h"
#include "shell/shell_calls_linux.h"
#include "core/temp_tree.h"

namespace fan {

using Strings = std::vector<std::string>;

// Bytes a shell, a GVariant text or dbus-send would read as syntax, a line
// break and a byte that is not UTF-8; and their URI form.
inline const std::string kOddName = "a b'\"\\;$(touch x),\n\xff";
inline const std::string kOddEncoded = "a%20b%27%22%5C%3B%24%28touch%20x%29%2C%0A%FF";

class ShellTest : public ::testing::Test {
protected:
    ShellTest() {
        setEnv("XDG_DATA_HOME", path("data").c_str());
        setEnv("HOME", temp.folder("home").c_str());
        setEnv("TERMINAL", nullptr);
        setEnv("TZ", "FAN-03");  // three hours ahead of UTC
        ::tzset();
        shellCalls.helperTimeLimit = std::chrono::milliseconds(300);
        mounts({"ext4 8:1 /dev/sda1 vol"});
        fakePrograms({});
        testCalls = shellCalls;
    }
    ~ShellTest() override { shellCalls = savedCalls; }
    static void setEnv(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }
    std::string path(const std::string& relative) const { return (temp.root() / relative).string(); }
    std::string read(const std::string& relative) const {
        std::ifstream in(path(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::set<std::string> entries(const std::string& relative) const {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(path(relative), ec))
            names.insert(entry.path().filename());
        return names;
    }

    // The mount table: "type major:minor source folder" per mount, the folder
    // below the temporary root.
    void mounts(const Strings& entries) {
        std::string text, type, device, source, folder;
        for (size_t i = 0; i < entries.size(); ++i) {
            std::istringstream(entries[i]) >> type >> device >> source >> folder;
            text += std::to_string(i + 1) + " 0 " + device + " / " + path(folder) + " rw - " + type + " " + source;
            text += " rw\n";
        }
        shellCalls.mountTable = temp.write("mountinfo", text).string();
    }

    // The only programs in PATH: each adds its working folder and arguments
    // to records/<name>, then runs the shell text given (none: left out;
    // empty: present but not executable).
    void fakePrograms(const std::vector<std::pair<std::string, const char*>>& programs) {
        for (const char* folder : {"bin", "records"}) {
            std::filesystem::remove_all(path(folder));
            temp.folder(folder);
        }
        setEnv("PATH", path("bin").c_str());
        for (const auto& [name, then] : programs) {
            if (!then) continue;
            const std::string record = "printf '%s\\0' \"$PWD\" \"$@\" >> '" + path("records/" + name) + "'\n";
            ::chmod(temp.write("bin/" + name, "#!/bin/sh\n" + record + then).c_str(), *then ? 0755 : 0644);
        }
    }
    // What `program` recorded; when waiting, once it has recorded something
    // (at most half a minute).
    Strings recorded(const std::string& program, bool wait = false) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (wait && read("records/" + program).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Strings fields;
        std::istringstream in(read("records/" + program));
        for (std::string field; std::getline(in, field, '\0');)
            fields.push_back(field);
        return fields;
    }

    // Runs `body` in a child process with a mount namespace of its own, so
    // that what it mounts vanishes with it, and with a mount table of the
    // mounts below the temporary root only (emptying must not reach the
    // machine's own trashes). Skips, saying so, where no namespace can be
    // made: only root may.
    void inOwnMountNamespace(const std::function<void()>& body) {
        constexpr int kNoNamespace = 77;
        std::fflush(stdout);  // or the child prints it again
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                ::_exit(kNoNamespace);
            body();
            ::_exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace)
            GTEST_SKIP() << "no mount namespace of its own can be made here (root only)";
        EXPECT_EQ(status, 0) << "the child's failures are printed above";
    }
    // In the child: mounts `source` (a folder below the root, or "tmpfs")
    // at `relative`, and lists only the mounts below the root.
    void mountAt(const std::string& source, const std::string& relative) {
        std::filesystem::create_directories(path(relative));
        const bool memory = source == "tmpfs";
        const int result = ::mount(memory ? "tmpfs" : path(source).c_str(), path(relative).c_str(),
                                   memory ? "tmpfs" : nullptr, memory ? 0 : MS_BIND, nullptr);
        ASSERT_EQ(result, 0) << std::strerror(errno);
        std::ifstream all("/proc/self/mountinfo");
        std::string own;
        for (std::string line; std::getline(all, line);)
            if (line.find(" " + temp.root().string() + "/") != std::string::npos) own += line + "\n";
        shellCalls.mountTable = temp.write("mountinfo", own).string();
    }

    testing::TempTree temp;
    const ShellCalls savedCalls = shellCalls;  // the real calls, put back at the end
    ShellCalls testCalls;                      // with the private mount table: what a test puts back
};

}  // namespace fan
