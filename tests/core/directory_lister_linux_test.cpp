// The Linux lister's view of a folder: kinds and sizes with and without entry types, entries that cannot
// be examined, what open() makes of folders gone, replaced or refused, and folders reopened for the bound.
#include "core/directory_lister_linux.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "core/scan_engine.h"
#include "temp_tree.h"

namespace fan {
namespace {

using Listing = std::map<std::string, std::string>;

// Every entry of `folder` but the dot entries by name, as "file SIZE",
// "folder" or "other".
Listing listAll(DirectoryLister& lister, const std::filesystem::path& folder) {
    Listing result;
    EXPECT_EQ(lister.openRoot(folder), ListOpen::Opened);
    for (ListedEntry entry; lister.next(entry);)
        result[std::string(entry.name)] = entry.kind == EntryKind::File     ? "file " + std::to_string(entry.size)
                                          : entry.kind == EntryKind::Folder ? "folder"
                                                                            : "other";
    result.erase(".");
    result.erase("..");
    return result;
}

// A file system that reports no entry types (DT_UNKNOWN), as some do.
ssize_t untypedEntries(int fd, void* buffer, size_t size) {
    const ssize_t n = ::getdents64(fd, buffer, size);
    for (ssize_t pos = 0; pos < n;) {
        auto* d = reinterpret_cast<dirent64*>(static_cast<char*>(buffer) + pos);
        d->d_type = DT_UNKNOWN;
        pos += d->d_reclen;
    }
    return n;
}

TEST(LinuxDirectoryLister, KindsAndSizesWithAndWithoutEntryTypes) {
    testing::TempTree temp;
    temp.file("file", 10);
    temp.file("sub/inner", 20);
    std::filesystem::create_directory_symlink(temp.root() / "sub", temp.root() / "link");
    ASSERT_EQ(::mkfifo((temp.root() / "fifo").c_str(), 0644), 0);
    for (const ReadEntriesFunction read : {ReadEntriesFunction(&::getdents64), &untypedEntries}) {
        auto lister = makeLinuxDirectoryLister(&::fstatat, read);
        EXPECT_EQ(listAll(*lister, temp.root()),
                  (Listing{{"fifo", "other"}, {"file", "file 10"}, {"link", "other"}, {"sub", "folder"}}));
    }
}

TEST(LinuxDirectoryLister, AFolderGoneOrReplacedByAFileOrLinkIsNotFound) {
    testing::TempTree temp;
    temp.file("file", 1);
    std::filesystem::create_directory_symlink(temp.folder("real"), temp.root() / "link");
    std::filesystem::create_directory_symlink(temp.root() / "loop", temp.root() / "loop");
    auto lister = makeDirectoryLister();
    ASSERT_EQ(lister->openRoot(temp.root()), ListOpen::Opened);
    const AnchorRef root = lister->anchor();
    // Links are never followed below the root.
    for (const char* name : {"missing", "file", "link", "loop"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(lister->open(root, name), ListOpen::NotFound);
    }
}

// The root may be reached through a link; one that loops is refused, not empty.
TEST(LinuxDirectoryLister, ARootLinkIsFollowedButARootLinkLoopHasFailed) {
    testing::TempTree temp;
    const std::filesystem::path link = temp.root() / "link";
    const std::filesystem::path loop = temp.root() / "loop";
    std::filesystem::create_directory_symlink(temp.folder("real"), link);
    std::filesystem::create_directory_symlink(loop, loop);
    auto lister = makeDirectoryLister();
    EXPECT_TRUE(lister->isFolder(link));
    EXPECT_EQ(lister->openRoot(link), ListOpen::Opened);
    EXPECT_FALSE(lister->isFolder(loop));
    EXPECT_EQ(lister->openRoot(loop), ListOpen::Failed);
}

TEST(LinuxDirectoryLister, AFolderThatRefusesEntryHasFailedAndIsNotGone) {
    // Root ignores permission bits, so a child that has given up its
    // privileges opens it; as an ordinary user it runs the same way.
    testing::TempTree temp;
    ::chmod(temp.root().c_str(), 0755);
    ::chmod(temp.folder("locked").c_str(), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        if (::access(temp.root().c_str(), R_OK | X_OK) != 0) ::_exit(5);
        auto lister = makeDirectoryLister();
        if (lister->openRoot(temp.root()) != ListOpen::Opened) ::_exit(4);
        ::_exit(lister->open(lister->anchor(), "locked") == ListOpen::Failed ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 5)
        GTEST_SKIP() << temp.root() << " is closed to other users; set TMPDIR to one open to all, such as /tmp";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported as gone, 3: could not drop privileges, 4: root not opened";
}

// A stat double: "locked" cannot be examined.
int refusingStat(int dirfd, const char* name, struct stat* st, int flags) {
    return std::strcmp(name, "locked") == 0 ? (errno = EACCES, -1) : ::fstatat(dirfd, name, st, flags);
}

TEST(LinuxDirectoryLister, AnEntryThatCannotBeExaminedFailsItsFoldersListing) {
    // Its size is unknown: skipped, and the failure reported.
    testing::TempTree temp;
    temp.file("locked", 10);
    temp.file("fine", 20);
    auto lister = makeLinuxDirectoryLister(&refusingStat, &::getdents64);
    EXPECT_EQ(listAll(*lister, temp.root()), (Listing{{"fine", "file 20"}}));
    EXPECT_TRUE(lister->failed());
}

ssize_t failingRead(int, void*, size_t) {
    errno = EIO;
    return -1;
}

TEST(LinuxDirectoryLister, AListingThatCannotBeReadHasFailed) {
    testing::TempTree temp;
    temp.file("file", 1);
    auto lister = makeLinuxDirectoryLister(&::fstatat, &failingRead);
    EXPECT_EQ(listAll(*lister, temp.root()), Listing{});
    EXPECT_TRUE(lister->failed());
}

// Reads that run an action when the walk first reads a chosen folder, so a
// test can move folders at a known moment of the walk.
struct ReadHook {
    std::map<ino_t, std::function<void()>> onFirstRead;
    std::function<void()> onEveryRead;
};
ReadHook readHook;
ssize_t hookedEntries(int fd, void* buffer, size_t size) {
    struct stat st;
    if (::fstat(fd, &st) == 0) {
        if (auto hit = readHook.onFirstRead.find(st.st_ino); hit != readHook.onFirstRead.end()) {
            const std::function<void()> action = std::move(hit->second);
            readHook.onFirstRead.erase(hit);
            action();
        }
    }
    if (readHook.onEveryRead) readHook.onEveryRead();
    return ::getdents64(fd, buffer, size);
}

ino_t inodeOf(const std::filesystem::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

const std::vector<MountEntry> kNoMounts;

TEST(LinuxDirectoryLister, AncestorMovedWhileTheWalkIsInsideLosesNothing) {
    testing::TempTree temp;
    for (const char* file : {"a/b/f0", "a/b/c/f1", "a/b/c/f2", "a/b/d/g/f3", "a/b/d/g/h/f4"})
        temp.file(file, 10);
    const std::filesystem::path a = temp.root() / "a", moved = temp.root() / "moved";
    // Moved away while b is listed, back once g is.
    readHook = {};
    readHook.onFirstRead[inodeOf(a / "b")] = [&] { std::filesystem::rename(a, moved); };
    readHook.onFirstRead[inodeOf(a / "b/d/g")] = [&] { std::filesystem::rename(moved, a); };
    auto lister = makeLinuxDirectoryLister(&::fstatat, &hookedEntries);
    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts, *lister);
    EXPECT_TRUE(readHook.onFirstRead.empty());
    EXPECT_EQ(tree.nodes[0].fileCount, 5u);
    EXPECT_EQ(tree.errorCount, 0u);
}

// How many descriptors the process holds.
int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST(LinuxDirectoryLister, DescriptorsStayBoundedOnAChainDeeperThanTheBound) {
    testing::TempTree temp;
    // A comb: each level holds the next, an empty folder and a file, so the
    // walk leaves a folder waiting at every level on its way down.
    std::string level = "c";
    for (int depth = 0; depth < 120; ++depth, level += "/c") {
        temp.folder(level + "/e");
        temp.file(level + "/f", 1);
    }
    const int before = openDescriptors();
    int most = before;
    readHook = {};
    readHook.onEveryRead = [&] { most = std::max(most, openDescriptors()); };
    constexpr size_t kBound = 4;
    auto lister = makeLinuxDirectoryLister(&::fstatat, &hookedEntries, kBound);
    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts, *lister);
    readHook = {};
    EXPECT_EQ(tree.nodes[0].fileCount, 120u);
    EXPECT_EQ(tree.errorCount, 0u);
    // Beyond the bound: the root's, the one listed, the one opened from and
    // the directory_iterator's own.
    EXPECT_LE(most - before, static_cast<int>(kBound) + 4);
    EXPECT_EQ(openDescriptors(), before);
}

// A folder whose descriptor was closed for the bound is opened again: by a
// lister that has no place on the walk's way, by name from the root, where
// it must be the very folder it was; by the walk's own, through ".." from
// the folder it stands in, so it is found where it now lies.
TEST(LinuxDirectoryLister, FolderReopenedAfterTheBoundMustBeTheSameFolder) {
    const struct {
        const char* name;
        bool movedAway;
        bool replaced;
        bool fromWalksPlace;
        ListOpen open;
    } cases[] = {{"in place", false, false, false, ListOpen::Opened},
                 {"moved away", true, false, false, ListOpen::Failed},
                 {"replaced by another", true, true, false, ListOpen::Failed},
                 {"in place, from the walk's place", false, false, true, ListOpen::Opened},
                 {"moved away, from the walk's place", true, false, true, ListOpen::Opened},
                 {"replaced by another, from the walk's place", true, true, true, ListOpen::Opened}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempTree temp;
        temp.folder("a/b/c/d");
        auto lister = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1);
        ASSERT_EQ(lister->openRoot(temp.root()), ListOpen::Opened);
        const AnchorRef root = lister->anchor();
        ASSERT_EQ(lister->open(root, "a"), ListOpen::Opened);
        const AnchorRef a = lister->anchor();
        ASSERT_EQ(lister->open(a, "b"), ListOpen::Opened);
        const AnchorRef b = lister->anchor();
        ASSERT_EQ(lister->open(b, "c"), ListOpen::Opened);  // the walk stands in b now; a is closed for the bound
        lister->close();
        if (c.movedAway) std::filesystem::rename(temp.root() / "a", temp.root() / "elsewhere");
        if (c.replaced) temp.folder("a/b/c");
        auto other = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1);
        DirectoryLister& reopening = c.fromWalksPlace ? *lister : *other;
        EXPECT_EQ(reopening.open(a, "b"), c.open);
    }
}

// openat() that refuses its next call once when armed, as when a folder on
// the way is renamed away for a moment.
std::atomic<bool> refuseNextOpen{false};
int openAtRefusingOnce(int dirfd, const char* name, int flags) {
    if (refuseNextOpen.exchange(false)) return (errno = ENOENT, -1);
    return ::openat(dirfd, name, flags);
}

TEST(LinuxDirectoryLister, AFolderThatCouldNotBeReopenedOnceIsTriedAgain) {
    testing::TempTree temp;
    temp.folder("a/b/c/d");
    auto walks = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1, &openAtRefusingOnce);
    ASSERT_EQ(walks->openRoot(temp.root()), ListOpen::Opened);
    const AnchorRef root = walks->anchor();
    ASSERT_EQ(walks->open(root, "a"), ListOpen::Opened);
    const AnchorRef a = walks->anchor();
    ASSERT_EQ(walks->open(a, "b"), ListOpen::Opened);
    const AnchorRef b = walks->anchor();
    ASSERT_EQ(walks->open(b, "c"), ListOpen::Opened);  // a is closed for the bound now
    walks->close();
    auto other = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1, &openAtRefusingOnce);
    refuseNextOpen = true;
    EXPECT_EQ(other->open(a, "b"), ListOpen::Failed);
    EXPECT_EQ(other->open(a, "b"), ListOpen::Opened);
}

// The walk enters a/b/c, listed ahead by another lister, and goes on to
// c/d, handed back to it (its parent was closed for the bound); in between,
// a is renamed away (and back after), or moved for good within the root. Judged by
// the walk that lists every folder itself: it loses nothing either way.
TEST(LinuxDirectoryLister, AFolderHandedBackIsReachedWhileAnAncestorIsAway) {
    const struct {
        const char* name;
        bool listedAhead;
        bool movedForGood;
    } cases[] = {{"listed by the walk, renamed away and back", false, false},
                 {"listed by the walk, moved for good", false, true},
                 {"listed ahead, renamed away and back", true, false},
                 {"listed ahead, moved for good", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempTree temp;
        temp.folder("a/b/c/d");
        temp.folder("a/b/c/e/f");
        temp.folder("elsewhere");
        auto walks = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1);
        auto ahead = makeLinuxDirectoryLister(&::fstatat, &::getdents64, 1);
        ASSERT_EQ(walks->openRoot(temp.root()), ListOpen::Opened);
        const AnchorRef root = walks->anchor();
        ASSERT_EQ(walks->open(root, "a"), ListOpen::Opened);
        AnchorRef parent = walks->anchor();
        walks->close();
        std::vector<AnchorRef> listed{parent};
        if (c.listedAhead) {
            // Each listed from its parent still open; the walk then enters b
            // and c, and d is handed back to it, c being closed for the bound.
            for (const char* name : {"b", "c", "e"}) {
                ASSERT_EQ(ahead->openAhead(listed.back(), name), ListOpen::Opened);
                listed.push_back(ahead->anchor());
                ahead->close();
            }
            walks->enter(listed[0]);
            walks->enter(listed[1]);
            parent = listed[2];
            ASSERT_EQ(ahead->openAhead(parent, "d"), ListOpen::Later);
        } else {
            for (const char* name : {"b", "c"}) {
                ASSERT_EQ(walks->open(parent, name), ListOpen::Opened);
                parent = walks->anchor();
                walks->close();
            }
        }
        const std::filesystem::path away = temp.root() / (c.movedForGood ? "elsewhere/a" : "a-away");
        std::filesystem::rename(temp.root() / "a", away);
        EXPECT_EQ(walks->open(parent, "d"), ListOpen::Opened);
        walks->close();
        if (!c.movedForGood) std::filesystem::rename(away, temp.root() / "a");
    }
}

}  // namespace
}  // namespace fan
