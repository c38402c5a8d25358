// A private home, data folder, PATH and mount table for each shell-action
// test, and fake helper programs that record how they were started; the
// environment and the call table are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include "app/shell_actions.h"
#include "app/shell_calls_linux.h"
#include "core/temp_tree.h"

namespace fan {

using Strings = std::vector<std::string>;

// Bytes a shell, a GVariant text or dbus-send would read as syntax, a line
// break and a byte that is not UTF-8; and their URI form.
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
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::set<std::string> entries(const std::string& relative) const {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(path(relative), ec)) names.insert(entry.path().filename());
        return names;
    }

    // The mount table: "type major:minor source folder" per mount, the folder
    // below the temporary root.
    void mounts(const Strings& entries) {
        std::string text;
        for (size_t i = 0; i < entries.size(); ++i) {
            std::string type, device, source, folder;
            std::istringstream(entries[i]) >> type >> device >> source >> folder;
            text += std::to_string(i + 1) + " 0 " + device + " / " + path(folder) + " rw - " + type + " " + source + " rw\n";
        }
        shellCalls.mountTable = temp.write("mountinfo", text).string();
    }

    // Programs in PATH (only these) that add their working folder and
    // arguments to records/<name>, then run the shell text given.
    void fakePrograms(const std::vector<std::pair<std::string, const char*>>& programs, mode_t mode = 0755) {
        for (const char* folder : {"bin", "records"}) std::filesystem::remove_all(path(folder)), temp.folder(folder);
        for (const auto& [name, then] : programs) {
            if (!then) continue;
            temp.write("bin/" + name, "#!/bin/sh\nprintf '%s\\0' \"$PWD\" \"$@\" >> '" + path("records/" + name) + "'\n" + then);
            ::chmod(path("bin/" + name).c_str(), mode);
        }
    }
    // What `program` recorded, waiting up to two seconds for a first call.
    Strings recorded(const std::string& program, bool wait = false) const {
        for (int tries = 0; wait && tries < 200 && !std::filesystem::exists(path("records/" + program)); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Strings fields;
        std::istringstream in(read("records/" + program));
        for (std::string field; std::getline(in, field, '\0');) fields.push_back(field);
        return fields;
    }

    testing::TempTree temp;
    std::optional<std::string> saved[std::size(kVariables)];
    const ShellCalls savedCalls = shellCalls;
};

}  // namespace fan
