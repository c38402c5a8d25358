#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "shell_fixture.h"

namespace fan {
namespace {

namespace fs = std::filesystem;

// Paths outside this prefix report another device.
std::string sameDevice;
int deviceCheck(int dirfd, const char* path, struct stat* status, int flags) {
    const int result = ::fstatat(dirfd, path, status, flags);
    if (result == 0 && std::string(path).rfind(sameDevice, 0) != 0) status->st_dev += 1;
    return result;
}

std::string localTime(std::time_t when) {
    when += 3 * 3600;  // TZ below
    std::tm parts{};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", ::gmtime_r(&when, &parts));
    return text;
}

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
    return names;
}

TEST_F(ShellTest, ATrashedItemKeepsARecordAndNeverReplacesAnother) {
    setEnv("TZ", "FAN-03");
    ::tzset();
    const std::string home = path("home/") + kOddName;
    const std::string trash = path("data/Trash/");
    const std::time_t before = std::time(nullptr);
    temp.write("home/" + kOddName, "first");
    ASSERT_EQ(moveToRecycleBin(home).message, "");
    const std::string record = read("data/Trash/info/" + kOddName + ".trashinfo");
    const std::string start = "[Trash Info]\nPath=" + path("home/") + kOddEncoded + "\nDeletionDate=";
    EXPECT_TRUE(record == start + localTime(before) + "\n" || record == start + localTime(std::time(nullptr)) + "\n")
        << record;
    EXPECT_FALSE(fs::exists(home));
    EXPECT_EQ(read("data/Trash/files/" + kOddName), "first");

    // The second of a name is numbered; a leftover without a record is kept.
    temp.write("home/" + kOddName, "second");
    temp.write("data/Trash/files/" + kOddName + ".3", "leftover");
    ASSERT_TRUE(moveToRecycleBin(home).ok);
    temp.write("home/" + kOddName, "third");
    ASSERT_TRUE(moveToRecycleBin(home).ok);
    EXPECT_EQ(read("data/Trash/files/" + kOddName), "first");
    EXPECT_EQ(read("data/Trash/files/" + kOddName + ".2"), "second");
    EXPECT_EQ(read("data/Trash/files/" + kOddName + ".3"), "leftover");
    EXPECT_EQ(read("data/Trash/files/" + kOddName + ".4"), "third");
    EXPECT_EQ(entries(trash + "info"), (std::set<std::string>{kOddName + ".trashinfo", kOddName + ".2.trashinfo",
                                                                kOddName + ".4.trashinfo"}));

    // A link goes itself; what it points to stays.
    fs::create_symlink(path("home/target"), path("home/link"));
    temp.write("home/target", "kept");
    ASSERT_TRUE(moveToRecycleBin(path("home/link")).ok);
    EXPECT_TRUE(fs::is_symlink(trash + "files/link"));
    EXPECT_EQ(read("home/target"), "kept");
}

struct FailureCase { const char* item; ShellCalls calls; const char* message; };

TEST_F(ShellTest, AMoveThatCannotBeDoneLeavesTheItemAndNoRecord) {
    ShellCalls failingRename = shellCalls, failingOpen = shellCalls, otherDevice = shellCalls;
    failingRename.renameat2 = [](int, const char*, int, const char*, unsigned) { return errno = EIO, -1; };
    failingOpen.openat = [](int, const char*, int, mode_t) { return errno = EACCES, -1; };
    otherDevice.fstatat = deviceCheck;
    const FailureCase cases[] = {
        {"home/item", failingRename, "Trash failed (Input/output error)"},
        {"home/item", failingOpen, "Trash failed (Permission denied)"},
        {"home/item", otherDevice, "Trash failed (no trash on the item's device)"},
        {"vol/item", otherDevice, "Trash failed (no trash on the item's device)"},
        {"data/Trash", shellCalls, "Trash failed (the item is the trash or holds it)"},
        {"data", shellCalls, "Trash failed (the item is the trash or holds it)"},
        {"data/Trash/files/item", shellCalls, "Trash failed (the item is the trash or holds it)"},
    };
    for (const char* item : {"data/Trash/files/item", "home/item", "vol/item"}) temp.write(item, "kept");
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        sameDevice = path(c.item);
        shellCalls = c.calls;
        EXPECT_EQ(moveToRecycleBin(path(c.item)).message, c.message);
        shellCalls = savedCalls;
        EXPECT_TRUE(fs::exists(path(c.item)));
        EXPECT_EQ(entries(path("data/Trash/info")), std::set<std::string>{});
        EXPECT_EQ(entries(path("vol")), (std::set<std::string>{"item"}));
    }
}

// shared: how $topdir/.Trash is set up; 0: none, 1: a sticky folder,
// 2: a folder that is not sticky, 3: a link to a sticky folder.
struct VolumeCase { int shared; const char* trash; };

TEST_F(ShellTest, AnItemOnAnotherVolumeGoesToThatVolumesTrash) {
    const std::string uid = std::to_string(::getuid());
    const VolumeCase cases[] = {{0, ".Trash-"}, {1, ".Trash/"}, {2, ".Trash-"}, {3, ".Trash-"}};
    shellCalls.fstatat = deviceCheck;
    sameDevice = path("vol");
    for (const VolumeCase& c : cases) {
        SCOPED_TRACE(c.shared);
        fs::remove_all(path("vol"));
        temp.write("vol/sub/item", "moved");
        const std::string shared = path(c.shared == 3 ? "sticky" : "vol/.Trash");
        if (c.shared) ::mkdir(shared.c_str(), 0777);
        if (c.shared != 2) ::chmod(shared.c_str(), 01777);
        if (c.shared == 3) fs::create_symlink(shared, path("vol/.Trash"));

        ASSERT_EQ(moveToRecycleBin(path("vol/sub/item")).message, "");
        const std::string trash = "vol/" + std::string(c.trash) + uid;
        EXPECT_EQ(read(trash + "/files/item"), "moved");
        EXPECT_EQ(read(trash + "/info/item.trashinfo").substr(0, 27), "[Trash Info]\nPath=sub/item\n");
        struct stat status;
        ASSERT_EQ(::lstat(path(trash).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0700u);
        EXPECT_EQ(entries(path("sticky")), std::set<std::string>{});
    }
    EXPECT_FALSE(fs::exists(path("data/Trash")));
}

TEST_F(ShellTest, EmptyingRemovesWhatTheTrashesHoldAndNothingOutside) {
    const std::string uid = std::to_string(::getuid());
    mounts({"ext4 8:1 /dev/sda1 vol", "nfs4 0:50 server:/share net"});
    temp.write("outside/file", "kept");
    temp.write("outside/folder/file", "kept");
    for (const std::string& trash : {std::string("data/Trash"), "vol/.Trash-" + uid, "net/.Trash-" + uid}) {
        temp.write(trash + "/files/file", "");
        temp.write(trash + "/files/folder/sub/file", "");
        temp.write(trash + "/info/file.trashinfo", "");
        temp.write(trash + "/directorysizes", "");
        fs::create_symlink(path("outside/file"), path(trash + "/files/link"));
        fs::create_symlink(path("outside/folder"), path(trash + "/files/folder/link"));
        ::chmod(path(trash + "/files/folder/sub").c_str(), 0500);
    }
    fs::create_symlink(path("outside"), path("vol/.Trash-" + uid + "/files/folderlink"));

    EXPECT_EQ(emptyRecycleBin().message, "");
    for (const std::string& trash : {std::string("data/Trash"), "vol/.Trash-" + uid}) {
        EXPECT_EQ(entries(path(trash)), (std::set<std::string>{"files", "info"}));
        EXPECT_EQ(entries(path(trash + "/files")), std::set<std::string>{});
        EXPECT_EQ(entries(path(trash + "/info")), std::set<std::string>{});
    }
    EXPECT_EQ(entries(path("net/.Trash-" + uid + "/files")), (std::set<std::string>{"file", "folder", "link"}));
    EXPECT_EQ(read("outside/file") + read("outside/folder/file"), "keptkept");
}

struct LocalCase { const char* mount; bool local; };

TEST_F(ShellTest, OnlyLocalVolumesOfferTheTrash) {
    const LocalCase cases[] = {
        {"ext4 8:1 /dev/sda1", true},      {"btrfs 0:45 /dev/sda2", true},  {"tmpfs 0:30 tmpfs", true},
        {"zfs 0:52 pool/home", true},      {"vfat 8:17 /dev/sdb1", true},   {"nfs4 0:50 server:/x", false},
        {"cifs 0:51 //server/x", false},   {"fuse.sshfs 0:53 me@host:", false}, {"iso9660 11:0 /dev/sr0", false},
        {"udf 11:0 /dev/sr0", false},      {"proc 0:21 proc", false},       {"overlay 0:60 overlay", false},
        {"fuse.rclone 0:54 remote:", false},
    };
    std::vector<std::string> table;
    for (const LocalCase& c : cases) table.push_back(std::string(c.mount) + " m" + std::to_string(table.size()));
    mounts(table);
    for (const LocalCase& c : cases) {
        SCOPED_TRACE(c.mount);
        EXPECT_EQ(isLocalVolume(path("m" + std::to_string(&c - cases) + "/item")), c.local);
    }
    EXPECT_FALSE(isLocalVolume(path("elsewhere/item")));
}

}  // namespace
}  // namespace fan
