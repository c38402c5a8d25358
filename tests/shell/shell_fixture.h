// A private home, data folder, PATH and mount table for each shell-action
// test, with fake helper programs that record how they were started; the
// environment and the call table are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "app/shell_actions.h"
#include "app/shell_calls_linux.h"
#include "core/temp_tree.h"

namespace fan {

// Every kind of byte a shell, a GVariant text or dbus-send would read as
// syntax, a line break and a byte that is not UTF-8; and its URI form.
inline const std::string kOddName = "a b'\"\\;$(touch x),\n\xff";
inline const std::string kOddEncoded = "a%20b%27%22%5C%3B%24%28touch%20x%29%2C%0A%FF";

class ShellTest : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"XDG_DATA_HOME", "HOME", "PATH", "TERMINAL", "TZ"};
    ShellTest() {
        for (size_t i = 0; i < std::size(kVariables); ++i)
            if (const char* value = std::getenv(kVariables[i])) saved[i] = value;
        setEnv("XDG_DATA_HOME", path("data").c_str());
        setEnv("HOME", temp.folder("home").c_str());
        setEnv("PATH", temp.folder("bin").c_str());
        setEnv("TERMINAL", nullptr);
        shellCalls.helperTimeLimit = std::chrono::milliseconds(300);
        mounts({"ext4 8:1 /dev/sda1 vol"});
    }
    ~ShellTest() override {
        shellCalls = savedCalls;
        for (size_t i = 0; i < std::size(kVariables); ++i) setEnv(kVariables[i], saved[i] ? saved[i]->c_str() : nullptr);
        ::tzset();
    }
    static void setEnv(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }
    std::string path(const std::string& relative) const { return (temp.root() / relative).string(); }
    std::string read(const std::string& relative) const {
        std::ifstream in(path(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The mount table: "type major:minor source folder" per mount, the folder
    // relative to the temporary root.
    void mounts(const std::vector<std::string>& entries) {
        std::string text;
        for (size_t i = 0; i < entries.size(); ++i) {
            std::istringstream fields(entries[i]);
            std::string type, device, source, folder;
            fields >> type >> device >> source >> folder;
            text += std::to_string(i + 1) + " 0 " + device + " / " + path(folder) + " rw - " + type + " " + source + " rw\n";
        }
        shellCalls.mountTable = temp.write("mountinfo", text).string();
    }

    // A program in PATH that records its name, working folder and arguments,
    // then runs the shell text `then`.
    void fakeProgram(const std::string& name, const std::string& then, mode_t mode = 0755) {
        const std::string file = "bin/" + name;
        temp.write(file, "#!/bin/sh\nprintf '%s\\0' \"${0##*/}\" \"$#\" \"$PWD\" \"$@\" >> '" + path("record") + "'\n" +
                             then + "\n");
        ::chmod(path(file).c_str(), mode);
    }

    struct Call {
        std::string program, folder;
        std::vector<std::string> arguments;
    };
    // The calls recorded so far, waiting up to two seconds for `atLeast`.
    std::vector<Call> calls(size_t atLeast = 0) const {
        for (int wait = 0;; ++wait) {
            std::vector<Call> found;
            std::istringstream in(read("record"));
            Call call;
            std::string count;
            while (std::getline(in, call.program, '\0') && std::getline(in, count, '\0') &&
                   std::getline(in, call.folder, '\0')) {
                call.arguments.assign(std::stoul(count), "");
                for (std::string& argument : call.arguments) std::getline(in, argument, '\0');
                found.push_back(call);
            }
            if (found.size() >= atLeast || wait == 200) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    testing::TempTree temp;
    std::optional<std::string> saved[std::size(kVariables)];
    const ShellCalls savedCalls = shellCalls;
};

}  // namespace fan
