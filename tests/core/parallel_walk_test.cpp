// Folders listed on several threads give the very tree of the walk on one.
#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>

#include "core/directory_lister_linux.h"
#include "core/scan_engine.h"
#include "fake_directory_lister.h"
#include "same_tree.h"
#include "temp_tree.h"
#include "tree_invariants.h"

namespace fan {
namespace {

using testing::expectSameSnapshot;
using testing::expectSameTree;
using testing::FakeDirectoryLister;
const std::vector<MountEntry> kNoMounts;

// Each listing thread owns its lister until it ends: none may be left
// once the scan has returned.
std::atomic<int> listersAlive{0};
struct CountedLister : FakeDirectoryLister {
    explicit CountedLister(const FakeDirectoryLister& base) : FakeDirectoryLister(base) { ++listersAlive; }
    ~CountedLister() override { --listersAlive; }
};

// Scans `root` alone and on 2, 3 and 8 threads; every tree must be the first.
template <typename MakeLister>
void expectIdenticalScans(const std::filesystem::path& root, const std::vector<MountEntry>& mounts,
                          MakeLister makeLister) {
    ScanProgress single;
    const std::unique_ptr<DirectoryLister> lister = makeLister();
    const Tree reference = scanTree(root, single, &mounts, *lister);
    ASSERT_GT(reference.nodes.size(), 1u);
    for (int threads : {2, 3, 8}) {
        ScanProgress progress;
        const Tree tree = scanTree(root, progress, &mounts, ListerFactory(makeLister), threads);
        expectSameTree(reference, tree, std::to_string(threads) + " threads");
        expectSameSnapshot(single, progress);
    }
}

// A random tree of about `folders` folders; some vanish before they are
// listed, some refuse to open, some fail part way through their listing.
FakeDirectoryLister randomTree(unsigned seed, int folders, bool faults) {
    std::mt19937 random(seed);
    FakeDirectoryLister lister;
    std::vector<std::string> open{"/r"};
    lister.folders["/r"];
    for (int made = 0; made < folders && !open.empty(); ++made) {
        const std::string parent = open[random() % open.size()];
        const std::string path = parent + "/d" + std::to_string(made);
        lister.folders[parent].push_back({"d" + std::to_string(made), EntryKind::Folder});
        const unsigned fate = faults ? random() % 12 : 99;
        if (fate == 0) continue;  // vanished: listed by its parent, gone when opened
        lister.folders[path];
        if (fate == 1) lister.openFaults[path] = ListOpen::Failed;
        if (fate == 2) lister.failAfter[path] = random() % 3;
        open.push_back(path);
    }
    for (const std::string& folder : open)
        for (unsigned i = random() % 40; i-- > 0;)
            lister.folders[folder].push_back({"f" + std::to_string(i), EntryKind::File, random() % 100000});
    return lister;
}

TEST(ParallelWalk, FakeTreesWithFaultsMatchTheSingleWalk) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const FakeDirectoryLister base = randomTree(seed, 60 + 250 * static_cast<int>(seed), seed % 2 == 0);
        // Shapes: wide (everything under the root), deep (each folder in the last one).
        expectIdenticalScans("/r", {}, [&] { return std::make_unique<FakeDirectoryLister>(base); });
    }
    FakeDirectoryLister deep;
    std::string path = "/r";
    for (int depth = 0; depth < 300; ++depth, path += "/x")
        deep.folders[path] = {{"x", EntryKind::Folder}, {"f", EntryKind::File, uint64_t(depth)}};
    expectIdenticalScans("/r", {}, [&] { return std::make_unique<FakeDirectoryLister>(deep); });
}

TEST(ParallelWalk, RealTreesOfSeveralShapesMatchTheSingleWalk) {
    testing::TempTree temp;
    for (int i = 0; i < 200; ++i)
        temp.file("wide/w" + std::to_string(i) + "/f", i);
    for (int i = 0; i < 3000; ++i)
        temp.file("huge/f" + std::to_string(i), i % 977);
    std::string deep = "deep";
    for (int i = 0; i < 80; ++i)
        temp.file((deep += "/level") + "/f", i);
    temp.file(std::string("odd/\xff\xfe-not-utf8/\x80") + "\n", 9);
    // Mount points at several depths: recorded, never entered.
    std::vector<MountEntry> mounts(1);
    mounts[0].mountPoint = "/";
    for (const std::string point : {"wide/w7", "wide/w199", "deep/level/level", "mnt"}) {
        temp.file(point + "/hidden", 1000);
        mounts.push_back(MountEntry{});
        mounts.back().mountPoint = (temp.root() / point).string();
    }
    // Two descriptors kept open at most: listing threads reopen folders
    // while others use theirs.
    expectIdenticalScans(temp.root(), mounts, [] { return makeLinuxDirectoryLister(&::fstatat, &::getdents64, 2); });
}

TEST(ParallelWalk, StoppedAtRandomMomentsLeavesAConsistentTreeAndNoThread) {
    const FakeDirectoryLister base = randomTree(42, 3000, true);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        ScanProgress progress;
        std::atomic<int> listed{0};
        const int stopAt = static_cast<int>(random() % 3000);
        ListerFactory slow = [&] {
            auto lister = std::make_unique<CountedLister>(base);
            lister->onEntry = [&](const std::string&, const std::string&) {
                if (++listed == stopAt) progress.stop = true;
            };
            return lister;
        };
        const Tree tree = scanTree("/r", progress, &kNoMounts, slow, 1 + round % 8);
        testing::expectConsistentTree(tree);
        EXPECT_TRUE(tree.stopped);
        EXPECT_EQ(progress.files.load(), tree.nodes[0].fileCount);
        EXPECT_EQ(listersAlive.load(), 0);
    }
}

TEST(ParallelWalk, FailureOnAListingThreadReachesTheCaller) {
    const FakeDirectoryLister base = randomTree(3, 400, false);
    for (int threads : {1, 4}) {
        ListerFactory failing = [&] {
            auto lister = std::make_unique<CountedLister>(base);
            lister->onEntry = [](const std::string& folder, const std::string&) {
                if (folder.size() > 12) throw std::bad_alloc();
            };
            return lister;
        };
        ScanProgress progress;
        EXPECT_THROW(scanTree("/r", progress, &kNoMounts, failing, threads), std::bad_alloc);
        EXPECT_EQ(listersAlive.load(), 0);
    }
    // No lister for the fourth thread: the three already running are ended.
    int made = 0;
    ListerFactory scarce = [&]() -> std::unique_ptr<DirectoryLister> {
        if (++made > 3) throw std::bad_alloc();
        return std::make_unique<CountedLister>(base);
    };
    ScanProgress progress;
    EXPECT_THROW(scanTree("/r", progress, &kNoMounts, scarce, 8), std::bad_alloc);
    EXPECT_EQ(listersAlive.load(), 0);
}

}  // namespace
}  // namespace fan
