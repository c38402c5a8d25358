// Folders listed on several threads give the very tree of the walk on one.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/directory_lister_linux.h"
#include "core/scan_engine.h"
#include "core/scan_threads.h"
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

// The listers of one scan, numbered as they are made: the walk's own is 0,
// the listing threads' follow, the spare ones last. Counts what the threads'
// listers did, and can hold the walk in the root's listing until a
// condition holds, or have every entry take a while to come.
struct ListerProbe {
    FakeDirectoryLister base;
    int firstSpare = 1 << 30;
    std::chrono::milliseconds entryDelay{0};
    std::atomic<int> made{0};
    std::atomic<int> threadOpens{0};
    std::atomic<int> spareOpens{0};
    std::atomic<int> threadEntries{0};
    std::mutex mutex;
    std::vector<std::string> opened;  // by every lister
    std::function<void()> atRootsLastEntry;

    struct Lister : CountedLister {
        Lister(ListerProbe& probe) : CountedLister(probe.base), probe_(probe), index_(probe.made++) {}
        ~Lister() override {
            std::lock_guard<std::mutex> lock(probe_.mutex);
            probe_.opened.insert(probe_.opened.end(), opened.begin(), opened.end());
        }
        ListOpen open(const AnchorRef& parent, std::string_view name) override {
            if (index_ > 0) ++probe_.threadOpens;
            if (index_ >= probe_.firstSpare) ++probe_.spareOpens;
            return FakeDirectoryLister::open(parent, name);
        }
        bool next(ListedEntry& entry) override {
            if (index_ > 0) ++probe_.threadEntries;
            std::this_thread::sleep_for(probe_.entryDelay);
            return FakeDirectoryLister::next(entry);
        }
        ListerProbe& probe_;
        const int index_;
    };

    ListerFactory factory() {
        return [this] {
            auto lister = std::make_unique<Lister>(*this);
            if (lister->index_ == 0 && atRootsLastEntry) {
                const std::string last = base.folders["/r"].back().name;
                lister->onEntry = [this, last](const std::string& folder, const std::string& entry) {
                    if (folder == "/r" && entry == last) atRootsLastEntry();
                };
            }
            return lister;
        };
    }
};

// Polls `condition` until it holds or `deadline` has passed.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

// /r with `folders` folders d0.., each holding `files` files with long
// names, longer by `padding`.
FakeDirectoryLister wideFolders(int folders, int files, size_t padding = 0) {
    FakeDirectoryLister lister;
    for (int d = 0; d < folders; ++d) {
        const std::string name = "d" + std::to_string(d);
        lister.folders["/r"].push_back({name, EntryKind::Folder});
        for (int f = 0; f < files; ++f)
            lister.folders["/r/" + name].push_back(
                {std::string(padding, 'x') + "a-file-with-a-long-name-" + std::to_string(f), EntryKind::File, 1});
    }
    return lister;
}

TEST(ParallelWalk, SpareThreadsListWhileTheListingsWait) {
    ListerProbe probe;
    probe.base = wideFolders(40, 10);
    probe.entryDelay = std::chrono::milliseconds(1);  // a disk that answers slowly
    probe.firstSpare = 2;                             // after the walk's lister and one thread's
    probe.atRootsLastEntry = [&] { waitFor([&] { return probe.spareOpens > 0; }, std::chrono::seconds(20)); };
    ScanProgress progress;
    const Tree tree = scanTree("/r", progress, &kNoMounts, probe.factory(), 2, 2);
    EXPECT_GT(probe.spareOpens.load(), 0);
    EXPECT_EQ(tree.nodes[0].fileCount, 400u);
}

TEST(ParallelWalk, ListingsMadeAheadStayWithinTheirBudget) {
    ListerProbe probe;
    probe.base = wideFolders(6, 8000, 200);
    // While the walk is held, the threads list ahead until the budget of
    // 4 MiB is spent: some 19,000 entries of 220 bytes, and a segment of
    // 16 KiB more per thread, of the 32,000 they could reach (the walk's
    // next folder is left to the walk).
    constexpr int kMostAhead = 24000;
    int listedWhileHeld = 0;
    probe.atRootsLastEntry = [&] {
        waitFor([&] { return probe.threadEntries > kMostAhead; }, std::chrono::seconds(1));
        listedWhileHeld = probe.threadEntries;
    };
    ScanProgress progress;
    const Tree tree = scanTree("/r", progress, &kNoMounts, probe.factory(), 4);
    EXPECT_GT(listedWhileHeld, 0);
    EXPECT_LE(listedWhileHeld, kMostAhead);
    EXPECT_EQ(tree.nodes[0].fileCount, 48000u);
}

TEST(ParallelWalk, StopEndsAThreadsListingWithinAFewEntries) {
    ListerProbe probe;
    probe.base = wideFolders(4, 100000);
    std::atomic<bool>* stop = nullptr;
    probe.atRootsLastEntry = [&] { waitFor([&] { return probe.threadEntries > 100; }, std::chrono::seconds(20)); };
    ListerFactory stopping = [&, make = probe.factory()] {
        std::unique_ptr<DirectoryLister> lister = make();
        auto& probed = static_cast<ListerProbe::Lister&>(*lister);
        if (probed.index_ > 0)
            probed.onEntry = [&](const std::string&, const std::string& entry) {
                if (entry == "a-file-with-a-long-name-100") *stop = true;
            };
        return lister;
    };
    ScanProgress progress;
    stop = &progress.stop;
    const Tree tree = scanTree("/r", progress, &kNoMounts, stopping, 4);
    EXPECT_TRUE(tree.stopped);
    // Each of the three threads may have had one folder open.
    EXPECT_LT(probe.threadEntries.load(), 3 * 200);
}

TEST(ParallelWalk, MountPointsAreOpenedByNoThread) {
    ListerProbe probe;
    FakeDirectoryLister& base = probe.base;
    base.folders["/r"] = {
        {"m1", EntryKind::Folder}, {"a", EntryKind::Folder}, {"b", EntryKind::Folder}, {"c", EntryKind::Folder}};
    for (const char* folder : {"/r/a", "/r/b"})
        base.folders[folder] = {{"m2", EntryKind::Folder}, {"x", EntryKind::Folder}, {"f", EntryKind::File, 1}};
    for (const char* folder : {"/r/m1", "/r/a/m2", "/r/b/m2", "/r/a/x", "/r/b/x", "/r/c"})
        base.folders[folder] = {{"y", EntryKind::Folder}, {"f", EntryKind::File, 1}};
    // Held at the root until a thread listed a (b, the walk's next, is
    // left to the walk), so mount points turn up both in listings of the
    // walk's own and in the threads'.
    probe.atRootsLastEntry = [&] { waitFor([&] { return probe.threadOpens > 0; }, std::chrono::seconds(20)); };
    std::vector<MountEntry> mounts;
    for (const char* point : {"/", "/r/m1", "/r/a/m2", "/r/b/m2"}) {
        mounts.emplace_back();
        mounts.back().mountPoint = point;
    }
    ScanProgress progress;
    const Tree tree = scanTree("/r", progress, &mounts, probe.factory(), 4);
    EXPECT_EQ(tree.mountPointCount, 3u);
    for (const std::string& folder : probe.opened)
        EXPECT_EQ(folder.find("/m"), std::string::npos) << folder;
}

TEST(ParallelWalk, FailureOnAListingThreadMidListingReachesTheCaller) {
    ListerProbe probe;
    probe.base = wideFolders(6, 50);
    // The walk's own lister never fails: only a thread's can.
    std::atomic<bool> thrown{false};
    probe.atRootsLastEntry = [&] { waitFor([&] { return thrown.load(); }, std::chrono::seconds(20)); };
    ListerFactory failing = [&, make = probe.factory()] {
        std::unique_ptr<DirectoryLister> lister = make();
        auto& probed = static_cast<ListerProbe::Lister&>(*lister);
        if (probed.index_ > 0)
            probed.onEntry = [&](const std::string&, const std::string& entry) {
                if (entry != "a-file-with-a-long-name-3") return;
                thrown = true;
                throw std::bad_alloc();
            };
        return lister;
    };
    ScanProgress progress;
    EXPECT_THROW(scanTree("/r", progress, &kNoMounts, failing, 4), std::bad_alloc);
    EXPECT_EQ(listersAlive.load(), 0);
}

TEST(ParallelWalk, FailureOnAListingThreadWhileTheWalkReadsItsFolderReachesTheCaller) {
    // The walk reads d2 and d1, then d0, which a thread lists; the thread
    // fails once the walk has read part of d0. The rest of d0 must not be
    // left out as if the folder had ended.
    ListerProbe probe;
    probe.base = wideFolders(3, 1000);
    probe.atRootsLastEntry = [&] { waitFor([&] { return probe.threadOpens > 0; }, std::chrono::seconds(20)); };
    ScanProgress progress;
    ListerFactory failing = [&, make = probe.factory()] {
        std::unique_ptr<DirectoryLister> lister = make();
        auto& probed = static_cast<ListerProbe::Lister&>(*lister);
        if (probed.index_ > 0)
            probed.onEntry = [&](const std::string& folder, const std::string& entry) {
                if (folder != "/r/d0" || entry != "a-file-with-a-long-name-900") return;
                waitFor([&] { return progress.files > 2000; }, std::chrono::seconds(20));
                throw std::bad_alloc();
            };
        return lister;
    };
    EXPECT_THROW(scanTree("/r", progress, &kNoMounts, failing, 3), std::bad_alloc);
    EXPECT_EQ(listersAlive.load(), 0);
}

TEST(ParallelWalk, NoListerForAThreadEndsThoseRunning) {
    const FakeDirectoryLister base = randomTree(3, 400, false);
    int made = 0;
    ListerFactory scarce = [&]() -> std::unique_ptr<DirectoryLister> {
        if (++made > 3) throw std::bad_alloc();
        return std::make_unique<CountedLister>(base);
    };
    ScanProgress progress;
    EXPECT_THROW(scanTree("/r", progress, &kNoMounts, scarce, 8), std::bad_alloc);
    EXPECT_EQ(listersAlive.load(), 0);
}

// Folders opened by the listers of a scan, counted; when asked, the first
// name opened a second time (a folder opened again, not going up through
// "..") fails that once, as when a folder on the way is renamed away for a
// moment. The walk on one thread opens each name once.
struct OpenCalls {
    std::atomic<int> count{0};
    std::atomic<bool> refuseSecond{false};
    std::mutex mutex;
    std::map<std::string, int> byName;
};
OpenCalls openCalls;
int countedOpenAt(int dirfd, const char* name, int flags) {
    ++openCalls.count;
    if (openCalls.refuseSecond && std::strcmp(name, "..") != 0) {
        std::lock_guard<std::mutex> lock(openCalls.mutex);
        if (++openCalls.byName[name] == 2 && openCalls.refuseSecond.exchange(false)) return (errno = ENOENT, -1);
    }
    return ::openat(dirfd, name, flags);
}

// A comb `depth` deep: each level holds the next, an empty folder and a
// file, every name its own, so a depth-first walk leaves a folder waiting at
// every level on its way down.
void makeComb(const testing::TempTree& temp, int depth) {
    std::string level = "comb";
    for (int i = 0; i < depth; ++i, level += "/d" + std::to_string(i)) {
        temp.folder(level + "/e" + std::to_string(i));
        temp.file(level + "/f", 1);
    }
}

TEST(ParallelWalk, ACombDeeperThanTheDescriptorBoundOpensEachFolderAboutOnce) {
    testing::TempTree temp;
    constexpr int kDepth = 400;
    makeComb(temp, kDepth);
    const ListerFactory make = [] { return makeLinuxDirectoryLister(&::fstatat, &::getdents64, 8, &countedOpenAt); };
    const struct {
        const char* name;
        int threads;
        int spares;
        bool refuseSecondOpen;
    } cases[] = {{"two threads", 2, 0, false},
                 {"two and two spare", 2, 2, false},
                 {"eight threads", 8, 0, false},
                 {"two threads, a reopen failing once", 2, 0, true},
                 {"eight threads, a reopen failing once", 8, 8, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openCalls.refuseSecond = c.refuseSecondOpen;
        openCalls.byName.clear();
        openCalls.count = 0;
        ScanProgress progress;
        const Tree tree = scanTree(temp.root(), progress, &kNoMounts, make, c.threads, c.spares);
        openCalls.refuseSecond = false;
        EXPECT_EQ(tree.nodes[0].fileCount, static_cast<uint64_t>(kDepth));
        EXPECT_EQ(tree.errorCount, 0u);
        // 2 * kDepth + 1 folders: once each, and going back up through "..",
        // about twice a folder; more when threads are slow to take their
        // folders (a loaded machine) and the walk lists them itself, but
        // far from the several opens a folder of a walk that reopens by name.
        EXPECT_LE(openCalls.count.load(), 3 * (2 * kDepth + 1));
    }
}

// Runs `body` in a child process whose limit on open files is `limit`;
// its exit status.
int exitStatusUnderDescriptorLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        struct rlimit bound {};
        ::getrlimit(RLIMIT_NOFILE, &bound);
        bound.rlim_cur = limit;
        ::_exit(::setrlimit(RLIMIT_NOFILE, &bound) == 0 ? body() : 9);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 10;
}

TEST(ParallelWalk, UnderALowDescriptorLimitTheTotalsAreTheSingleWalks) {
    testing::TempTree temp;
    makeComb(temp, 150);
    for (int i = 0; i < 400; ++i)
        temp.file("wide/w" + std::to_string(i / 20) + "/x" + std::to_string(i) + "/sub/f", 1);
    const ListerFactory make = [] { return makeDirectoryLister(); };
    const int status = exitStatusUnderDescriptorLimit(16, [&] {
        ScanProgress single;
        const Tree reference = scanTree(temp.root(), single, &kNoMounts, *makeDirectoryLister());
        if (reference.errorCount != 0) return 3;
        ScanProgress progress;
        const Tree tree = scanTree(temp.root(), progress, &kNoMounts, make, 8, 8);
        if (tree.errorCount != 0) return 1;
        return tree.nodes[0].fileCount == reference.nodes[0].fileCount ? 0 : 2;
    });
    if (status == 3) GTEST_SKIP() << "the walk on one thread is not exact under this limit here";
    EXPECT_EQ(status, 0) << "1: errors counted, 2: totals differ, 9: limit not set, 10: crashed";
}

TEST(ParallelWalk, UnderALowDescriptorLimitFewerThreadsList) {
    const struct {
        const char* name;
        rlim_t limit;
        int threads;
        int spares;
    } cases[] = {{"16 descriptors: the walk alone", 16, 1, 0},
                 {"60 descriptors: two threads, no spare one", 60, 2, 0},
                 {"1024 descriptors: all asked for", 1024, 8, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int threads = exitStatusUnderDescriptorLimit(c.limit, [] { return affordableShare(8, 8).threads; });
        const int spares = exitStatusUnderDescriptorLimit(c.limit, [] { return affordableShare(8, 8).spares; });
        EXPECT_EQ(threads, c.threads);
        EXPECT_EQ(spares, c.spares);
    }
}

}  // namespace
}  // namespace fan
