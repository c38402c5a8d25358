#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/resource.h>
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

// Once the folder "swapped" has been looked at, it is moved aside and a link
// to this folder put in its place.
std::string swapTarget;
int swapAfterLooking(int dirfd, const char* path, struct stat* status, int flags) {
    const int result = ::fstatat(dirfd, path, status, flags);
    if (result == 0 && std::string(path) == "swapped") {
        ::renameat(dirfd, "swapped", dirfd, "aside");
        ::symlinkat(swapTarget.c_str(), dirfd, "swapped");
    }
    return result;
}

// The folder "bound" of a trashed folder, the trash's files/ and how often
// files/ has been listed, for the steps below.
ino_t boundInode;
ino_t filesInode;
int filesListings;
bool isFolder(int fd, ino_t inode) {
    struct stat status;
    return ::fstat(fd, &status) == 0 && status.st_ino == inode;
}

// "bound", once opened, lies on another mount of the same device: a bind
// mount made after it was looked at.
int boundOnOtherMount(int dirfd, const char* path, int flags, unsigned mask, struct statx* status) {
    const int result = ::statx(dirfd, path, flags, mask, status);
    if (result == 0 && (flags & AT_EMPTY_PATH) && isFolder(dirfd, boundInode)) status->stx_mnt_id += 1;
    return result;
}

// A kernel before 5.8: statx gives no mount id.
int noMountIds(int dirfd, const char* path, int flags, unsigned mask, struct statx* status) {
    const int result = ::statx(dirfd, path, flags, mask, status);
    status->stx_mask &= ~STATX_MNT_ID;
    return result;
}

// The fdinfo of "bound" cannot be read either.
int noFdinfoForBound(int dirfd, const char* path, int flags, mode_t mode) {
    const std::string fdinfo = "/proc/self/fdinfo/";
    if (std::string(path).rfind(fdinfo, 0) == 0 && isFolder(std::atoi(path + fdinfo.size()), boundInode)) {
        errno = EACCES;
        return -1;
    }
    return ::openat(dirfd, path, flags, mode);
}

// files/ can be listed once only.
DIR* filesListedOnce(int fd) {
    if (isFolder(fd, filesInode) && ++filesListings > 1) {
        errno = EIO;
        return nullptr;
    }
    return ::fdopendir(fd);
}

std::string utcPlus3(std::time_t when) {
    char text[32];
    std::tm parts{};
    when += 3 * 3600;
    return {text, std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", ::gmtime_r(&when, &parts))};
}

ino_t inodeOf(const std::string& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_ino;
}

mode_t modeOf(const std::string& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST_F(ShellTest, ATrashedItemKeepsARecordAndNeverReplacesAnother) {
    const std::string item = "home/" + kOddName;
    const std::string trashed = "data/Trash/files/" + kOddName;
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(moveToRecycleBin(temp.write(item, "first")).message, "");
    const std::string record = read("data/Trash/info/" + kOddName + ".trashinfo");
    const std::string start = "[Trash Info]\nPath=" + path("home/") + kOddEncoded + "\nDeletionDate=";
    EXPECT_THAT(record, ::testing::AnyOf(start + utcPlus3(before) + "\n", start + utcPlus3(std::time(nullptr)) + "\n"));

    // The second of a name is numbered; a leftover without a record is kept.
    temp.write(trashed + ".3", "leftover");
    for (const char* text : {"second", "third"})
        ASSERT_TRUE(moveToRecycleBin(temp.write(item, text)).ok);
    EXPECT_EQ(read(trashed), "first");
    EXPECT_EQ(read(trashed + ".2"), "second");
    EXPECT_EQ(read(trashed + ".3"), "leftover");
    EXPECT_EQ(read(trashed + ".4"), "third");
    EXPECT_EQ(entries("data/Trash/info"),
              (Names{kOddName + ".trashinfo", kOddName + ".2.trashinfo", kOddName + ".4.trashinfo"}));
}

TEST_F(ShellTest, ALongNameIsCutBetweenCharactersToFitTheTrash) {
    std::string name;
    for (int i = 0; i < 120; ++i)
        name += "\xD1\x8F";                       // two bytes each: 240 in all
    const std::string cut = name.substr(0, 236);  // with ".trashinfo" and a number it fits 255
    ASSERT_EQ(moveToRecycleBin(temp.write("home/" + name, "")).message, "");
    EXPECT_EQ(entries("data/Trash/files"), Names{cut});
    EXPECT_EQ(entries("data/Trash/info"), Names{cut + ".trashinfo"});
}

TEST_F(ShellTest, ARelativeDataHomeIsIgnored) {
    setEnv("XDG_DATA_HOME", fs::relative(path("relative"), fs::current_path()).c_str());
    ASSERT_EQ(moveToRecycleBin(temp.write("home/item", "")).message, "");
    EXPECT_EQ(entries("home/.local/share/Trash/files"), Names{"item"});
}

TEST_F(ShellTest, AMoveThatCannotBeDoneLeavesTheItemAndNoRecord) {
    ShellCalls failingRename = shellCalls;
    failingRename.renameat2 = [](int, const char*, int, const char*, unsigned) {
        errno = EIO;
        return -1;
    };
    ShellCalls otherDevice = shellCalls;
    otherDevice.fstatat = deviceCheck;
    ShellCalls noMountTable = shellCalls;
    noMountTable.mountTable = path("no-mountinfo");
    const std::string away = "Trash failed (no trash on the item's device)";
    const std::string refused = "Trash failed (the item is the trash or holds it)";
    struct Case {
        const char* name;
        const char* item;
        ShellCalls calls;
        std::string message;
    };
    const Case cases[] = {
        {"rename fails", "home/item", failingRename, "Trash failed (Input/output error)"},
        {"home trash elsewhere", "home/item", otherDevice, away},
        {"volume trash elsewhere", "vol/item", otherDevice, away},
        {"holds the trash", "data", shellCalls, refused},
        {"already trashed", "data/Trash/files/item", shellCalls, refused},
        {"holds a mount", "home/mounts", shellCalls,
         "Trash failed (the folder holds the mounted file system " + path("home/mounts/usb") + ")"},
        {"mount table unreadable", "home/mounts", noMountTable, "Trash failed (the mount table cannot be read)"},
        {"is a mount", "home/mounts/usb", shellCalls, "Trash failed (the item is a mount point)"}};
    mounts({"ext4 8:1 /dev/sda1 vol", "vfat 8:17 /dev/sdb1 home/mounts/usb"});
    for (const char* item : {"data/Trash/files/item", "home/item", "vol/item", "home/mounts/usb/file"})
        temp.write(item, "kept");
    for (const auto& [name, item, calls, message] : cases) {
        SCOPED_TRACE(name);
        sameDevice = path(item);
        shellCalls = calls;
        EXPECT_EQ(moveToRecycleBin(path(item)).message, message);
        shellCalls = testCalls;
        EXPECT_TRUE(fs::exists(path(item)));
        EXPECT_EQ(entries("data/Trash/info"), Names{});
        EXPECT_EQ(entries("vol"), Names{"item"});
    }
}

TEST_F(ShellTest, AnItemOnAnotherVolumeGoesToThatVolumesTrash) {
    const std::string uid = std::to_string(::getuid());
    // $topdir/.Trash: a sticky folder, a folder that is not sticky, a link
    // to a sticky folder; and the trash that must be used.
    enum Shared { Sticky, Plain, Link };
    const std::tuple<const char*, Shared, std::string> cases[] = {
        {"sticky", Sticky, ".Trash/" + uid}, {"not sticky", Plain, ".Trash-" + uid}, {"a link", Link, ".Trash-" + uid}};
    shellCalls.fstatat = deviceCheck;
    sameDevice = path("vol");
    for (const auto& [name, shared, trash] : cases) {
        SCOPED_TRACE(name);
        fs::remove_all(path("vol"));
        temp.write("vol/sub/item", "moved");
        const std::string folder = path(shared == Link ? "sticky" : "vol/.Trash");
        ::mkdir(folder.c_str(), 0);
        ::chmod(folder.c_str(), shared == Plain ? 0777 : 01777);
        if (shared == Link) fs::create_symlink(folder, path("vol/.Trash"));
        ASSERT_EQ(moveToRecycleBin(path("vol/sub/item")).message, "");
        EXPECT_EQ(read("vol/" + trash + "/files/item"), "moved");
        EXPECT_EQ(read("vol/" + trash + "/info/item.trashinfo").substr(0, 27), "[Trash Info]\nPath=sub/item\n");
        EXPECT_EQ(modeOf(path("vol/" + trash)), 0700u);
        EXPECT_EQ(entries("sticky"), Names{});
    }
    EXPECT_FALSE(fs::exists(path("data")));
}

TEST_F(ShellTest, AVolumeTrashOfAnotherUserIsNeitherUsedNorEmptied) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    const std::string trash = "vol/.Trash-" + std::to_string(::getuid());
    temp.write(trash + "/files/theirs", "kept");
    temp.write("vol/item", "kept");
    ASSERT_EQ(::chown(path(trash).c_str(), 4242, 4242), 0);
    shellCalls.fstatat = deviceCheck;
    sameDevice = path("vol");
    EXPECT_EQ(moveToRecycleBin(path("vol/item")).message,
              "Trash failed (the volume's trash folder belongs to another user)");
    shellCalls = testCalls;
    EXPECT_EQ(emptyRecycleBin().message, "");
    EXPECT_EQ(entries(trash + "/files"), Names{"theirs"});
}

TEST_F(ShellTest, ABindMountedItemGoesToTheTrashOfItsMount) {
    temp.write("home/item", "kept");
    inOwnMountNamespace([&] {
        mountAt("home", "bound");
        EXPECT_EQ(moveToRecycleBin(path("bound/item")).message, "");
        EXPECT_EQ(read("bound/.Trash-" + std::to_string(::getuid()) + "/files/item"), "kept");
        EXPECT_EQ(entries("data/Trash/info"), Names{});
    });
}

TEST_F(ShellTest, AMountPointIsRefusedBeforeAnyTrashIsMade) {
    temp.write("outside/file", "kept");
    const std::pair<const char*, Names> cases[] = {{"tmpfs", Names{}}, {"outside", Names{"file"}}};
    inOwnMountNamespace([&] {
        for (const auto& [source, held] : cases) {
            SCOPED_TRACE(source);
            mountAt(source, "mounted");
            EXPECT_EQ(moveToRecycleBin(path("mounted")).message, "Trash failed (the item is a mount point)");
            EXPECT_EQ(entries("mounted"), held);
            EXPECT_FALSE(fs::exists(path("data")));
            ::umount(path("mounted").c_str());
        }
    });
}

TEST_F(ShellTest, EmptyingRemovesWhatTheTrashesHoldAndNothingOutside) {
    const std::string uid = std::to_string(::getuid());
    const std::string volume = "vol/.Trash-" + uid;
    const std::string network = "net/.Trash-" + uid;
    mounts({"ext4 8:1 /dev/sda1 vol", "nfs4 0:50 server:/share net"});
    temp.write("outside/folder/file", "kept");
    for (const std::string& trash : {std::string("data/Trash"), volume, network}) {
        for (const char* file : {"/files/file", "/files/folder/sub/file", "/info/file.trashinfo", "/directorysizes"})
            temp.write(trash + file, "");
        fs::create_symlink(path("outside/folder/file"), path(trash + "/files/link"));
        fs::create_symlink(path("outside/folder"), path(trash + "/files/folder/link"));
        ::chmod(path(trash + "/files/folder/sub").c_str(), 0500);
        ::chmod(path(trash + "/files/folder").c_str(), 0);
    }
    EXPECT_EQ(emptyRecycleBin().message, "");
    for (const std::string& trash : {std::string("data/Trash"), volume}) {
        SCOPED_TRACE(trash);
        EXPECT_EQ(entries(trash), (Names{"files", "info"}));
        EXPECT_EQ(entries(trash + "/files"), Names{});
        EXPECT_EQ(entries(trash + "/info"), Names{});
    }
    EXPECT_EQ(entries(network + "/files"), (Names{"file", "folder", "link"}));
    EXPECT_EQ(read("outside/folder/file"), "kept");
}

TEST_F(ShellTest, EmptyingLeavesFileSystemsMountedInATrashedFolderAndTheirRecords) {
    temp.write("outside/file", "kept");
    for (const char* record : {"data/Trash/info/disk.trashinfo", "data/Trash/info/bound.trashinfo"})
        temp.write(record, "");
    inOwnMountNamespace([&] {
        mountAt("tmpfs", "data/Trash/files/disk/mnt");
        mountAt("outside", "data/Trash/files/bound/sub");
        temp.write("data/Trash/files/disk/mnt/file", "kept");
        EXPECT_THAT(emptyRecycleBin().message, ::testing::EndsWith(" is another file system, left in place)"));
        EXPECT_EQ(read("data/Trash/files/disk/mnt/file"), "kept");
        EXPECT_EQ(read("outside/file"), "kept");
        EXPECT_EQ(entries("data/Trash/info"), (Names{"disk.trashinfo", "bound.trashinfo"}));
    });
}

TEST_F(ShellTest, EmptyingKeepsWhatItCannotTellAndItsRecord) {
    ShellCalls otherMount = testCalls;
    otherMount.statx = boundOnOtherMount;
    ShellCalls oldKernel = testCalls;
    oldKernel.statx = noMountIds;
    ShellCalls noFdinfo = oldKernel;
    noFdinfo.openat = noFdinfoForBound;
    ShellCalls listedOnce = testCalls;
    listedOnce.fdopendir = filesListedOnce;
    ShellCalls noMountTable = testCalls;
    noMountTable.mountTable = path("no-mountinfo");
    const std::string empty = "Could not empty Trash (";
    struct Case {
        const char* name;
        ShellCalls calls;
        std::string message;
        bool boundKept;
        Names records;
    };
    const Case cases[] = {
        {"mounted after the look", otherMount, empty + "folder/bound is another file system, left in place)", true,
         Names{"folder.trashinfo"}},
        {"mount told by fdinfo", oldKernel, "", false, Names{}},
        {"mount not told", noFdinfo,
         empty + "folder/bound left in place, its mount cannot be identified: Permission denied)", true,
         Names{"folder.trashinfo"}},
        {"files/ not listed again", listedOnce, empty + "Input/output error)", false, Names{"folder.trashinfo"}},
        {"volumes not known", noMountTable, empty + "the mount table cannot be read)", false, Names{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(path("data"));
        temp.write("data/Trash/files/folder/bound/file", "kept");
        temp.write("data/Trash/info/folder.trashinfo", "");
        boundInode = inodeOf(path("data/Trash/files/folder/bound"));
        filesInode = inodeOf(path("data/Trash/files"));
        filesListings = 0;
        shellCalls = c.calls;
        EXPECT_EQ(emptyRecycleBin().message, c.message);
        shellCalls = testCalls;
        EXPECT_EQ(fs::exists(path("data/Trash/files/folder/bound/file")), c.boundKept);
        EXPECT_EQ(entries("data/Trash/info"), c.records);
    }
}

TEST_F(ShellTest, EmptyingChangesNoModeThroughALinkSwappedIn) {
    swapTarget = temp.folder("outside").string();
    ::chmod(swapTarget.c_str(), 0500);
    ::chmod(temp.folder("data/Trash/files/swapped").c_str(), 0500);
    shellCalls.fstatat = swapAfterLooking;
    emptyRecycleBin();
    EXPECT_EQ(modeOf(swapTarget), 0500u);
}

TEST_F(ShellTest, EmptyingATreeDeeperThanTheOpenFileLimitSucceeds) {
    std::string deep = "data/Trash/files/deep";
    for (int level = 0; level < 300; ++level)
        deep += "/d";
    temp.write(deep + "/file", "");
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit low = saved;
    low.rlim_cur = 64;
    ::setrlimit(RLIMIT_NOFILE, &low);
    const ShellActionResult result = emptyRecycleBin();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(entries("data/Trash/files"), Names{});
}

struct LocalCase {
    const char* name;
    const char* mount;  // "type major:minor source folder"
    bool local;
};

TEST_F(ShellTest, OnlyLocalVolumesOfferTheTrash) {
    const LocalCase cases[] = {
        {"btrfs names its disk", "btrfs 0:45 /dev/sda2 a", true},
        {"memory", "tmpfs 0:30 tmpfs a", true},
        {"block device", "xfs 253:1 root a", true},
        {"anonymous device", "overlay 0:40 overlay a", false},
        {"network", "fuse.sshfs 0:53 me@host: a", false},
        {"disc image on a block device", "udf 7:0 /dev/loop0 a", false},
    };
    for (const LocalCase& c : cases) {
        SCOPED_TRACE(c.name);
        mounts({c.mount});
        EXPECT_EQ(isLocalVolume(path("a/item")), c.local);
    }
    EXPECT_FALSE(isLocalVolume(path("elsewhere")));
}

}  // namespace
}  // namespace fan
