// The POSIX lister's view of a folder: kinds, sizes, vanishing entries.
#include "core/directory_lister_posix.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <map>

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

TEST(PosixDirectoryLister, DeviceNodesAreOther) {
    auto lister = makeDirectoryLister();
    const auto entries = listAll(*lister, "/dev");
    ASSERT_TRUE(entries.count("null"));
    EXPECT_EQ(entries.at("null").kind, EntryKind::Other);
    EXPECT_FALSE(lister->failed());
}

TEST(PosixDirectoryLister, OpenDistinguishesMissingFromRefused) {
    testing::TempTree temp;
    const std::filesystem::path file = temp.file("file", 1);
    std::filesystem::create_directory_symlink(temp.folder("real"), temp.root() / "link");
    auto lister = makeDirectoryLister();
    EXPECT_EQ(lister->open(temp.root() / "missing", false), ListOpen::NotFound);
    EXPECT_EQ(lister->open(file, false), ListOpen::NotFound);             // no longer a folder
    EXPECT_EQ(lister->open(temp.root() / "link", false), ListOpen::NotFound);  // links are never followed...
    EXPECT_EQ(lister->open(temp.root() / "link", true), ListOpen::Opened);     // ...except to reach the root
    EXPECT_TRUE(lister->isFolder(temp.root() / "link"));
    EXPECT_FALSE(lister->isFolder(file));
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

TEST(PosixDirectoryLister, EntriesThatCannotBeStatted) {
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
        auto lister = makePosixDirectoryLister(c.stat);
        const auto entries = listAll(*lister, temp.root());
        EXPECT_FALSE(entries.count(c.odd));
        ASSERT_TRUE(entries.count("fine"));
        EXPECT_EQ(entries.at("fine").size, 20u);
        EXPECT_EQ(lister->failed(), c.failed) << c.odd;
    }
}

TEST(PosixDirectoryLister, LargeFolderSpansSeveralReads) {
    testing::TempTree temp;
    for (int i = 0; i < 3000; ++i) temp.file("file-with-a-fairly-long-name-" + std::to_string(i), i);
    auto lister = makeDirectoryLister();
    const auto entries = listAll(*lister, temp.root());
    uint64_t total = 0, files = 0;
    for (const auto& [name, entry] : entries)
        if (entry.kind == EntryKind::File) total += entry.size, ++files;
    EXPECT_EQ(files, 3000u);
    EXPECT_EQ(total, 2999u * 3000u / 2);
    EXPECT_FALSE(lister->failed());
}

}  // namespace
}  // namespace fan
