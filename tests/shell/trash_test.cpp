#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <unistd.h>

#include "shell_fixture.h"

namespace fan {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

// Paths outside this prefix report another device.
std::string sameDevice;
int deviceCheck(int dirfd, const char* path, struct stat* status, int flags) {
    const int result = ::fstatat(dirfd, path, status, flags);
    if (result == 0 && std::string(path).rfind(sameDevice, 0) != 0) status->st_dev += 1;
    return result;
}

std::string utcPlus3(std::time_t when) {
    char text[32];
    std::tm parts{};
    when += 3 * 3600;
    return {text, std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", ::gmtime_r(&when, &parts))};
}

TEST_F(ShellTest, ATrashedItemKeepsARecordAndNeverReplacesAnother) {
    const std::string item = "home/" + kOddName, trashed = "data/Trash/files/" + kOddName;
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(moveToRecycleBin(temp.write(item, "first")).message, "");
    const std::string record = read("data/Trash/info/" + kOddName + ".trashinfo");
    const std::string start = "[Trash Info]\nPath=" + path("home/") + kOddEncoded + "\nDeletionDate=";
    EXPECT_TRUE(record == start + utcPlus3(before) + "\n" || record == start + utcPlus3(std::time(nullptr)) + "\n");

    // The second of a name is numbered; a leftover without a record is kept.
    temp.write(trashed + ".3", "leftover");
    for (const char* text : {"second", "third"})
        ASSERT_TRUE(moveToRecycleBin(temp.write(item, text)).ok);
    EXPECT_EQ(read(trashed) + read(trashed + ".2") + read(trashed + ".3") + read(trashed + ".4"),
              "firstsecondleftoverthird");
    EXPECT_EQ(entries("data/Trash/info"),
              (Names{kOddName + ".trashinfo", kOddName + ".2.trashinfo", kOddName + ".4.trashinfo"}));
}

TEST_F(ShellTest, AMoveThatCannotBeDoneLeavesTheItemAndNoRecord) {
    ShellCalls failingRename = shellCalls, otherDevice = shellCalls;
    failingRename.renameat2 = [](int, const char*, int, const char*, unsigned) { return errno = EIO, -1; };
    otherDevice.fstatat = deviceCheck;
    const std::string away = "Trash failed (no trash on the item's device)";
    const std::string refused = "Trash failed (the item is the trash or holds it)";
    const std::tuple<const char*, ShellCalls, std::string> cases[] = {
        {"home/item", failingRename, "Trash failed (Input/output error)"},
        {"home/item", otherDevice, away},
        {"vol/item", otherDevice, away},
        {"data", shellCalls, refused},
        {"data/Trash/files/item", shellCalls, refused}};
    for (const char* item : {"data/Trash/files/item", "home/item", "vol/item"})
        temp.write(item, "kept");
    for (const auto& [item, calls, message] : cases) {
        SCOPED_TRACE(item);
        sameDevice = path(item);
        shellCalls = calls;
        EXPECT_EQ(moveToRecycleBin(path(item)).message, message);
        shellCalls = savedCalls;
        EXPECT_TRUE(fs::exists(path(item)));
        EXPECT_EQ(entries("data/Trash/info"), Names{});
        EXPECT_EQ(entries("vol"), Names{"item"});
    }
}

TEST_F(ShellTest, AnItemOnAnotherVolumeGoesToThatVolumesTrash) {
    const std::string uid = std::to_string(::getuid());
    // $topdir/.Trash: none, a sticky folder, a folder that is not sticky, a
    // link to a sticky folder; and the trash that must be used.
    enum Shared { None, Sticky, Plain, Link };
    const std::pair<Shared, std::string> cases[] = {
        {None, ".Trash-" + uid}, {Sticky, ".Trash/" + uid}, {Plain, ".Trash-" + uid}, {Link, ".Trash-" + uid}};
    shellCalls.fstatat = deviceCheck;
    sameDevice = path("vol");
    for (const auto& [shared, trash] : cases) {
        SCOPED_TRACE(trash);
        fs::remove_all(path("vol"));
        temp.write("vol/sub/item", "moved");
        const std::string folder = path(shared == Link ? "sticky" : "vol/.Trash");
        if (shared != None) ::mkdir(folder.c_str(), 0);
        ::chmod(folder.c_str(), shared == Plain ? 0777 : 01777);
        if (shared == Link) fs::create_symlink(folder, path("vol/.Trash"));
        ASSERT_EQ(moveToRecycleBin(path("vol/sub/item")).message, "");
        EXPECT_EQ(read("vol/" + trash + "/files/item"), "moved");
        EXPECT_EQ(read("vol/" + trash + "/info/item.trashinfo").substr(0, 27), "[Trash Info]\nPath=sub/item\n");
        struct stat status;
        EXPECT_TRUE(::lstat(path("vol/" + trash).c_str(), &status) == 0 && (status.st_mode & 07777) == 0700);
        EXPECT_EQ(entries("sticky"), Names{});
    }
    EXPECT_FALSE(fs::exists(path("data")));
}

TEST_F(ShellTest, EmptyingRemovesWhatTheTrashesHoldAndNothingOutside) {
    const std::string uid = std::to_string(::getuid()), volume = "vol/.Trash-" + uid, network = "net/.Trash-" + uid;
    mounts({"ext4 8:1 /dev/sda1 vol", "nfs4 0:50 server:/share net"});
    temp.write("outside/folder/file", "kept");
    for (const std::string& trash : {std::string("data/Trash"), volume, network}) {
        for (const char* file : {"/files/file", "/files/folder/sub/file", "/info/file.trashinfo", "/directorysizes"})
            temp.write(trash + file, "");
        fs::create_symlink(path("outside/folder/file"), path(trash + "/files/link"));
        fs::create_symlink(path("outside/folder"), path(trash + "/files/folder/link"));
        ::chmod(path(trash + "/files/folder/sub").c_str(), 0500);
    }
    EXPECT_EQ(emptyRecycleBin().message, "");
    for (const std::string& trash : {std::string("data/Trash"), volume}) {
        EXPECT_EQ(entries(trash), (Names{"files", "info"}));
        EXPECT_EQ(entries(trash + "/files").size() + entries(trash + "/info").size(), 0u) << trash;
    }
    EXPECT_EQ(entries(network + "/files"), (Names{"file", "folder", "link"}));
    EXPECT_EQ(read("outside/folder/file"), "kept");
}

TEST_F(ShellTest, OnlyLocalVolumesOfferTheTrash) {
    mounts({"btrfs 0:45 /dev/sda2 a", "zfs 0:52 pool/x b", "tmpfs 0:30 tmpfs c", "fuse.sshfs 0:53 me@host: d",
            "iso9660 11:0 /dev/sr0 e", "proc 0:21 proc f"});
    for (const std::string folder : {"a", "b", "c", "d", "e", "f", "elsewhere"})  // a to c are local
        EXPECT_EQ(isLocalVolume(path(folder + "/item")), folder < "d") << folder;
}

}  // namespace
}  // namespace fan
