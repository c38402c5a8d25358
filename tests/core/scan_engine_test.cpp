// The folder walk, over real folders (sums, order, kinds, hard links, mount points) and through a lister
// double (listing faults, stop requests, mount points under "/", saturating sums, the live-preview items).
#include "core/scan_engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "fake_directory_lister.h"
#include "temp_tree.h"
#include "tree_invariants.h"

namespace fan {
namespace {

using testing::FakeDirectoryLister;
using testing::TempTree;
using Names = std::vector<std::string>;
constexpr EntryKind File = EntryKind::File;
constexpr EntryKind Folder = EntryKind::Folder;
const std::vector<MountEntry> kNoMounts;

// What a scan left, in one line: nodes, the root's sums, the shared
// counters, errors, whether it stopped, and its error text.
std::string outcome(const Tree& tree, const ScanProgress& progress) {
    std::ostringstream out;
    out << tree.nodes.size() << " nodes";
    if (!tree.nodes.empty()) out << ", " << tree.nodes[0].size << " B in " << tree.nodes[0].fileCount << " files";
    out << ", counted " << progress.files << " files " << progress.bytes << " B, " << tree.errorCount << " errors"
        << (tree.stopped ? ", stopped" : "") << (tree.errorText.empty() ? "" : ", " + tree.errorText);
    return out.str();
}

// The preview items in their order as name=state:bytes (the root's files
// have no name), then the bytes counted when they were published.
std::string items(const ScanSnapshot& snapshot) {
    static const char* const kStates[] = {"pending", "scanning", "complete", "denied", "other"};
    std::string text;
    for (const PreviewItem& item : snapshot.items)
        text += item.name + "=" + kStates[static_cast<int>(item.state)] + ":" + std::to_string(item.bytes) + " ";
    return text + "of " + std::to_string(snapshot.bytes);
}

// The subtree below a node: names in the children's order, a folder's own
// children in brackets, a mount point's index after "@".
std::string outline(const Tree& tree, uint64_t index = 0) {
    std::string text;
    for (uint64_t child : tree.nodes[index].children) {
        const ScanNode& node = tree.nodes[child];
        text += (text.empty() ? "" : " ") + node.name;
        if (node.mountIndex != kNoNode) text += "@" + std::to_string(node.mountIndex);
        if (!node.children.empty()) text += "(" + outline(tree, child) + ")";
    }
    return text;
}

MountEntry mountAt(const std::string& point, const std::string& type = "", const std::string& device = "") {
    MountEntry mount;
    mount.mountPoint = point;
    mount.fsType = type;
    mount.device = device;
    return mount;
}

// A known local file system: its space is asked directly, without a thread.
const std::vector<MountEntry> kLocalRoot{mountAt("/", "ext4", "8:1")};

// A scan through the lister double, by default over /r: a (a1 with two
// files, a2 with three), b (one file) and a root file.
class ScanEngineDouble : public ::testing::Test {
protected:
    void scan(const std::string& root = "/r", const std::vector<MountEntry>& mounts = kNoMounts) {
        tree = scanTree(root, progress, &mounts, lister);
        testing::expectConsistentTree(tree);
    }
    std::string outcome() const { return fan::outcome(tree, progress); }
    std::string items() const { return fan::items(progress.snapshot()); }

    FakeDirectoryLister lister = sampleTree();
    ScanProgress progress;
    Tree tree;

    static FakeDirectoryLister sampleTree() {
        FakeDirectoryLister lister;
        lister.folders = {{"/r", {{".", Folder}, {"..", Folder}, {"a", Folder}, {"b", Folder}, {"top", File, 4}}},
                          {"/r/a", {{"a1", Folder}, {"a2", Folder}}},
                          {"/r/a/a1", {{"x", File, 100}, {"y", File, 200}}},
                          {"/r/a/a2", {{"z", File, 300}, {"z1", File, 1}, {"z2", File, 2}}},
                          {"/r/b", {{"w", File, 50}}}};
        return lister;
    }
};

TEST(ScanEngineRoot, RootsThatAreNotFoldersGiveNoNodesAndPublishNothing) {
    TempTree temp;
    const std::string file = temp.file("plain.txt", 10).string();
    const std::string missing = (temp.root() / "nope" / ".." / "nope").string();
    const std::string loop = (temp.root() / "loop").string();
    std::filesystem::create_directory_symlink(loop, loop);
    for (const std::string& argument : {missing, file, loop, std::string()}) {
        ScanProgress progress;
        const Tree tree = scanTree(argument, progress, &kNoMounts);
        // The text names the root as passed, not normalised.
        EXPECT_EQ(outcome(tree, progress),
                  "0 nodes, counted 0 files 0 B, 0 errors, Не удалось открыть папку: " + argument);
        EXPECT_FALSE(progress.snapshot().valid);
    }
}

TEST(ScanEngineWalk, SumsOrderNamesAndKindsOfARealTree) {
    TempTree temp;
    const std::filesystem::path root = temp.root();
    temp.file("big/one.bin", 5'000'000);
    temp.file("big/deep/er/two.bin", 7);
    for (const char* name : {"small/b", "small/a", "small/A"})
        temp.file(name, 10);
    temp.folder("small/empty/also-empty");
    temp.file(".hidden", 1);
    temp.file("huge.img", 5LL << 30);    // sparse: a 64-bit size costs no disk
    temp.file("bad-\xff\xfe-name", 11);  // not UTF-8: kept as the raw bytes
    // A file with a second link elsewhere counts once per link.
    ASSERT_EQ(::link(temp.file("linked", 100).c_str(), (temp.folder("other") / "link").c_str()), 0);
    // Links (and FIFOs: the lister test) are never recorded, counted or followed.
    std::filesystem::create_directory_symlink(root / "big", root / "link-to-folder");
    std::filesystem::create_symlink(root / "linked", root / "link-to-file");
    std::filesystem::create_directory_symlink(root, root / "small" / "up");  // a cycle through the root
    ScanProgress progress;
    const Tree tree = scanTree(root, progress, &kNoMounts);
    testing::expectConsistentTree(tree);
    const std::string total = std::to_string(5'000'000 + 7 + 30 + 1 + (5ULL << 30) + 11 + 200);
    EXPECT_EQ(outcome(tree, progress),
              "18 nodes, " + total + " B in 10 files, counted 10 files " + total + " B, 0 errors");
    // Larger first, equal sizes by name bytes; nothing but files and folders.
    EXPECT_EQ(outline(tree),
              "huge.img big(one.bin deep(er(two.bin))) linked other(link) small(A a b empty(also-empty)) "
              "bad-\xff\xfe-name .hidden");
}

TEST(ScanEngineMounts, MountPointsInsideTheRootAreRecordedButNotWalked) {
    // The root is reached through a link: the mount table names real paths,
    // the walk spells them through the link.
    TempTree temp;
    temp.file("real/data/file", 10);
    temp.file("real/mnt/disk/hidden-by-mount", 1000);
    temp.file("real/mnt/other", 1);
    std::filesystem::create_directory_symlink(temp.root() / "real", temp.root() / "link");
    const std::string real = std::filesystem::canonical(temp.root() / "real").string();
    // The root's own file system is skipped; of a point listed twice the
    // first wins.
    std::vector<MountEntry> mounts = kLocalRoot;
    for (const std::string& point : {real, real + "/mnt/disk", real + "/mnt/disk", real + "/data"})
        mounts.push_back(mountAt(point));
    ScanProgress progress;
    const Tree tree = scanTree((temp.root() / "link").string() + "/", progress, &mounts);  // the slash is dropped
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.root, temp.root() / "link");
    EXPECT_EQ(tree.rootVolume.mountPoint, real);
    EXPECT_EQ(tree.mountPointCount, 2u);
    EXPECT_EQ(outline(tree), "data@4 mnt(disk@2 other)");  // mount points sort first
    EXPECT_EQ(outcome(tree, progress), "5 nodes, 1 B in 1 files, counted 1 files 1 B, 0 errors");
}

TEST_F(ScanEngineDouble, WalkIsDepthFirstInReverseListingOrderAndSkipsDotEntries) {
    progress.livePreview = false;  // nothing is published, yet the counters advance
    scan();
    EXPECT_EQ(lister.opened, (Names{"/r", "/r/b", "/r/a", "/r/a/a2", "/r/a/a1"}));
    EXPECT_EQ(outcome(), "12 nodes, 657 B in 7 files, counted 7 files 657 B, 0 errors");
    EXPECT_FALSE(progress.snapshot().valid);
}

TEST_F(ScanEngineDouble, FoldersThatFailOrVanish) {
    // A folder that fails to open or breaks off counts as an error and marks its top-level item; one that
    // has vanished is empty. What was listed stays. A root that refuses listing leaves it alone and a text.
    const struct {
        const char* folder;
        ListOpen open;
        const char *outcome, *items;
    } cases[] = {
        {"/r/a/a1", ListOpen::Failed, "10 nodes, 357 B in 5 files, counted 5 files 357 B, 1 errors",
         "a=denied:303 b=complete:50 =complete:4 of 357"},
        {"/r/a/a1", ListOpen::Opened,  // the listing breaks off after one entry
         "11 nodes, 457 B in 6 files, counted 6 files 457 B, 1 errors",
         "a=denied:403 b=complete:50 =complete:4 of 457"},
        {"/r/a/a1", ListOpen::NotFound, "10 nodes, 357 B in 5 files, counted 5 files 357 B, 0 errors",
         "a=complete:303 b=complete:50 =complete:4 of 357"},
        {"/r", ListOpen::Failed, "1 nodes, 0 B in 0 files, counted 0 files 0 B, 1 errors, Нет доступа к папке: /r",
         "of 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " " + std::to_string(static_cast<int>(c.open)));
        lister = sampleTree();
        if (c.open == ListOpen::Opened)
            lister.failAfter[c.folder] = 1;
        else
            lister.openFaults[c.folder] = c.open;
        progress.reset();
        scan();
        EXPECT_EQ(outcome(), c.outcome);
        EXPECT_EQ(items(), c.items);
    }
}

TEST_F(ScanEngineDouble, StopFromTheGuiThreadEndsTheListingInProgress) {
    // The worker is held inside a2's listing, at its first entry, until the
    // GUI thread, copying snapshots meanwhile, has asked it to stop.
    std::atomic<bool> reached{false};
    lister.onEntry = [&](const std::string& folder, const std::string& entry) {
        if (folder != "/r/a/a2" || entry != "z") return;
        reached = true;
        while (!progress.stop)
            std::this_thread::yield();
    };
    std::thread worker([&] { scan(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!reached && std::chrono::steady_clock::now() < deadline)
        progress.snapshot();
    progress.stop = true;
    worker.join();
    EXPECT_EQ(lister.opened.back(), "/r/a/a2");  // a1 is never listed
    // z is recorded; the stop is seen before a2's next entry. The final snapshot keeps the states.
    EXPECT_EQ(outcome(), "8 nodes, 354 B in 3 files, counted 3 files 354 B, 0 errors, stopped");
    EXPECT_EQ(items(), "a=scanning:300 b=complete:50 =complete:4 of 354");
}

TEST_F(ScanEngineDouble, MountTableWithRootSlashMarksTopLevelMountPoints) {
    lister.folders = {{"/", {{"proc", Folder}, {"home", Folder}, {"swap", File, 8}}},
                      {"/proc", {{"kcore", File, 1ULL << 47}}},
                      {"/home", {{"me", Folder}}},
                      {"/home/me", {{"doc", File, 5}}}};
    scan("/", {mountAt("/"), mountAt("/proc"), mountAt("/home/me"), mountAt("/swap")});  // a file too
    EXPECT_EQ(tree.mountPointCount, 3u);
    EXPECT_EQ(outcome(), "5 nodes, 0 B in 0 files, counted 0 files 0 B, 0 errors");
    EXPECT_EQ(lister.opened, (Names{"/", "/home"}));
    EXPECT_EQ(items(), "proc=other:0 home=complete:0 of 0");
}

TEST_F(ScanEngineDouble, SizesSaturateInsteadOfWrapping) {
    const uint64_t huge = uint64_t{1} << 63;
    lister.folders = {{"/r", {{"a", File, huge}, {"b", File, huge}, {"d", Folder}}},
                      {"/r/d", {{"c", File, huge}, {"e", File, huge}}}};
    scan();
    // The status line and the preview never show a small number.
    const std::string all = std::to_string(~uint64_t{0});
    EXPECT_EQ(outcome(), "6 nodes, " + all + " B in 4 files, counted 4 files " + all + " B, 0 errors");
    EXPECT_EQ(items(), "=complete:" + all + " d=complete:" + all + " of " + all);
}

}  // namespace
}  // namespace fan
