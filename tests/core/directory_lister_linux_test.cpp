// The Linux lister's view of a folder: kinds and sizes with and without entry
// types, entries that vanish or cannot be examined, large folders, and what
// open() makes of missing, linked and looping folders.
#include "core/directory_lister_linux.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <map>

#include "core/scan_engine.h"
#include "temp_tree.h"

namespace fan {
namespace {

struct Seen {
    EntryKind kind;
    uint64_t size;
};

// Every entry of `folder` by name (a listed name lives only until the next call).
std::map<std::string, Seen> listAll(DirectoryLister& lister, const std::filesystem::path& folder) {
    std::map<std::string, Seen> result;
    EXPECT_EQ(lister.open(folder, true), ListOpen::Opened);
    ListedEntry entry;
    while (lister.next(entry)) result[std::string(entry.name)] = {entry.kind, entry.size};
    return result;
}

// A file system that reports no entry types (DT_UNKNOWN), as some do.
ssize_t untypedEntries(int fd, void* buffer, size_t size) {
    const ssize_t n = ::getdents64(fd, buffer, size);
    for (ssize_t pos = 0; pos < n;) {
        auto* d = reinterpret_cast<struct dirent64*>(static_cast<char*>(buffer) + pos);
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
        const auto entries = listAll(*lister, temp.root());
        EXPECT_EQ(entries.at("file").kind, EntryKind::File);
        EXPECT_EQ(entries.at("file").size, 10u);
        EXPECT_EQ(entries.at("sub").kind, EntryKind::Folder);
        EXPECT_EQ(entries.at("link").kind, EntryKind::Other);
        EXPECT_EQ(entries.at("fifo").kind, EntryKind::Other);
        EXPECT_EQ(listAll(*lister, "/dev").at("null").kind, EntryKind::Other);
        EXPECT_FALSE(lister->failed());
        // The walk goes down into a folder it recognised by examining it.
        ScanProgress progress;
        const std::vector<MountEntry> noMounts;
        const Tree tree = scanTree(temp.root(), progress, &noMounts, *lister);
        EXPECT_EQ(tree.nodes[0].size, 30u);
        EXPECT_EQ(tree.nodes[0].fileCount, 2u);
    }
}

TEST(LinuxDirectoryLister, OpenTellsVanishedFromRefused) {
    testing::TempTree temp;
    const std::filesystem::path file = temp.file("file", 1);
    const std::filesystem::path link = temp.root() / "link";
    const std::filesystem::path loop = temp.root() / "loop";
    std::filesystem::create_directory_symlink(temp.folder("real"), link);
    std::filesystem::create_directory_symlink(loop, loop);
    auto lister = makeDirectoryLister();
    EXPECT_EQ(lister->open(temp.root() / "missing", false), ListOpen::NotFound);
    EXPECT_EQ(lister->open(file, false), ListOpen::NotFound);  // no longer a folder
    EXPECT_EQ(lister->open(link, false), ListOpen::NotFound);  // links are never followed...
    EXPECT_EQ(lister->open(link, true), ListOpen::Opened);     // ...except to reach the root
    EXPECT_EQ(lister->open(loop, false), ListOpen::NotFound);
    EXPECT_EQ(lister->open(loop, true), ListOpen::Failed);     // a root that loops is refused, not empty
    EXPECT_TRUE(lister->isFolder(link));
    EXPECT_FALSE(lister->isFolder(file));
    EXPECT_FALSE(lister->isFolder(loop));
}

// Stat doubles: one name vanishes, another cannot be examined.
int vanishingStat(int dirfd, const char* name, struct stat* st, int flags) {
    if (std::strcmp(name, "gone") == 0) return errno = ENOENT, -1;
    return ::fstatat(dirfd, name, st, flags);
}
int refusingStat(int dirfd, const char* name, struct stat* st, int flags) {
    if (std::strcmp(name, "locked") == 0) return errno = EACCES, -1;
    return ::fstatat(dirfd, name, st, flags);
}

TEST(LinuxDirectoryLister, EntriesThatCannotBeStatted) {
    // One that vanished is skipped quietly; one that cannot be examined is
    // skipped too, and its folder's listing reports the failure.
    const struct {
        StatAtFunction stat;
        const char* odd;
        bool failed;
    } cases[] = {{&vanishingStat, "gone", false}, {&refusingStat, "locked", true}};
    for (const auto& c : cases) {
        testing::TempTree temp;
        temp.file(c.odd, 10);
        temp.file("fine", 20);
        auto lister = makeLinuxDirectoryLister(c.stat, &::getdents64);
        const auto entries = listAll(*lister, temp.root());
        EXPECT_FALSE(entries.count(c.odd));
        EXPECT_EQ(entries.at("fine").size, 20u);
        EXPECT_EQ(lister->failed(), c.failed) << c.odd;
    }
}

TEST(LinuxDirectoryLister, LargeFolderSpansSeveralReads) {
    testing::TempTree temp;
    for (int i = 0; i < 1500; ++i) temp.file("file-with-a-fairly-long-name-" + std::to_string(i), i);
    auto lister = makeDirectoryLister();
    uint64_t total = 0, files = 0;
    for (const auto& [name, entry] : listAll(*lister, temp.root()))
        if (entry.kind == EntryKind::File) total += entry.size, ++files;
    EXPECT_EQ(files, 1500u);
    EXPECT_EQ(total, 1499u * 1500u / 2);
    EXPECT_FALSE(lister->failed());
}

}  // namespace
}  // namespace fan
