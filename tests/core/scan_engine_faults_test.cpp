// The walk through a lister double: order, listing faults, stop requests,
// mount points under "/", saturating sums and the live-preview publications.
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "core/scan_engine.h"
#include "fake_directory_lister.h"
#include "tree_invariants.h"

namespace fan {
namespace {

using testing::FakeDirectoryLister;
constexpr EntryKind File = EntryKind::File;
constexpr EntryKind Folder = EntryKind::Folder;
const std::vector<MountEntry> kNoMounts;

// /r holds a (a1 with two files, a2 with three), b (one file) and a root file.
FakeDirectoryLister sampleTree() {
    FakeDirectoryLister lister;
    lister.folders["/r"] = {{".", Folder}, {"..", Folder}, {"a", Folder}, {"b", Folder}, {"top", File, 4}};
    lister.folders["/r/a"] = {{"a1", Folder}, {"a2", Folder}};
    lister.folders["/r/a/a1"] = {{"x", File, 100}, {"y", File, 200}};
    lister.folders["/r/a/a2"] = {{"z", File, 300}, {"z1", File, 1}, {"z2", File, 2}};
    lister.folders["/r/b"] = {{"w", File, 50}};
    return lister;
}

PreviewState stateOf(const ScanSnapshot& snapshot, const std::string& name) {
    for (const PreviewItem& item : snapshot.items)
        if (item.name == name) return item.state;
    ADD_FAILURE() << "no item " << name;
    return PreviewState::Pending;
}

TEST(ScanEngineFaults, WalkIsDepthFirstInReverseListingOrderAndSkipsDotEntries) {
    FakeDirectoryLister lister = sampleTree();
    ScanProgress progress;
    progress.livePreview = false;  // nothing is published, yet the counters advance
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(lister.opened, (std::vector<std::string>{"/r", "/r/b", "/r/a", "/r/a/a2", "/r/a/a1"}));
    EXPECT_EQ(tree.nodes.size(), 12u);
    EXPECT_EQ(tree.nodes[0].size, 657u);
    EXPECT_EQ(progress.files.load(), 7u);
    EXPECT_EQ(progress.bytes.load(), 657u);
    EXPECT_FALSE(progress.snapshot().valid);
    // Children of one folder take consecutive indices in listing order.
    EXPECT_EQ(tree.nodes[1].name, "a");
    EXPECT_EQ(tree.nodes[2].name, "b");
    EXPECT_EQ(tree.nodes[3].name, "top");
}

TEST(ScanEngineFaults, FoldersThatFailOrVanish) {
    // A folder that fails to open or breaks off counts as an error and marks
    // its top-level item; one that has vanished is empty. What was listed
    // stays. A root that refuses listing leaves the root alone and a text.
    const struct {
        const char* folder;
        ListOpen open;  // Opened: the listing breaks off after one entry
        uint64_t errors, nodes, size;
        const char* text;
        PreviewState a;
    } cases[] = {
        {"/r/a/a1", ListOpen::Failed, 1, 10, 357, "", PreviewState::AccessError},
        {"/r/a/a1", ListOpen::Opened, 1, 11, 457, "", PreviewState::AccessError},
        {"/r/a/a1", ListOpen::NotFound, 0, 10, 357, "", PreviewState::Complete},
        {"/r", ListOpen::Failed, 1, 1, 0, "Нет доступа к папке: /r", PreviewState::Complete},
        {"/r", ListOpen::NotFound, 0, 1, 0, "", PreviewState::Complete},
    };
    for (const auto& c : cases) {
        FakeDirectoryLister lister = sampleTree();
        if (c.open == ListOpen::Opened) lister.failAfter[c.folder] = 1;
        else lister.openFaults[c.folder] = c.open;
        ScanProgress progress;
        const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
        SCOPED_TRACE(std::string(c.folder) + " " + std::to_string(static_cast<int>(c.open)));
        testing::expectConsistentTree(tree);
        EXPECT_EQ(tree.errorCount, c.errors);
        EXPECT_EQ(tree.nodes.size(), c.nodes);
        EXPECT_EQ(tree.nodes[0].size, c.size);
        EXPECT_EQ(tree.errorText, c.text);
        const ScanSnapshot last = progress.snapshot();
        if (c.nodes == 1) {
            EXPECT_TRUE(last.valid && last.items.empty());
            continue;
        }
        EXPECT_EQ(stateOf(last, "a"), c.a);
        EXPECT_EQ(stateOf(last, "b"), PreviewState::Complete);
        EXPECT_EQ(stateOf(last, ""), PreviewState::Complete);
    }
}

TEST(ScanEngineFaults, StopFromTheGuiThreadEndsTheListingInProgress) {
    // The worker is held inside a2's listing, at its first entry, until the
    // GUI thread, polling snapshots meanwhile, has asked it to stop.
    FakeDirectoryLister lister = sampleTree();
    ScanProgress progress;
    std::atomic<bool> reached{false};
    lister.onEntry = [&](const std::string& folder, const std::string& entry) {
        if (folder != "/r/a/a2" || entry != "z") return;
        reached = true;
        while (!progress.stop) std::this_thread::yield();
    };
    Tree tree;
    std::thread worker([&] { tree = scanTree("/r", progress, &kNoMounts, lister); });
    while (!reached) {
        const ScanSnapshot copy = progress.snapshot();
        uint64_t itemBytes = 0;
        for (const PreviewItem& item : copy.items) itemBytes += item.bytes;
        EXPECT_LE(itemBytes, copy.bytes);  // items never run ahead of the counter they were published with
    }
    progress.stop = true;
    worker.join();
    testing::expectConsistentTree(tree);
    EXPECT_TRUE(tree.stopped);
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(lister.opened.back(), "/r/a/a2");  // a1 is never listed
    // z is recorded; the stop is seen before a2's next entry.
    EXPECT_EQ(tree.nodes[0].size, 354u);
    EXPECT_EQ(progress.files.load(), 3u);
    EXPECT_EQ(tree.nodes[0].children.size(), 3u);
    const ScanSnapshot last = progress.snapshot();  // the final, forced one keeps the states as they were
    EXPECT_EQ(stateOf(last, "b"), PreviewState::Complete);
    EXPECT_EQ(stateOf(last, "a"), PreviewState::Scanning);
    EXPECT_EQ(last.bytes, 354u);

    FakeDirectoryLister untouched = sampleTree();  // a stop raised before the walk: the root alone
    tree = scanTree("/r", progress, &kNoMounts, untouched);
    EXPECT_TRUE(tree.stopped);
    EXPECT_EQ(tree.nodes.size(), 1u);
    EXPECT_TRUE(untouched.opened.empty());
}

TEST(ScanEngineFaults, MountTableWithRootSlashMarksTopLevelMountPoints) {
    FakeDirectoryLister lister;
    lister.folders["/"] = {{"proc", Folder}, {"home", Folder}, {"swap", File, 8}};
    lister.folders["/proc"] = {{"kcore", File, 1ULL << 47}};
    lister.folders["/home"] = {{"me", Folder}};
    lister.folders["/home/me"] = {{"doc", File, 5}};
    std::vector<MountEntry> mounts(4);
    mounts[0].mountPoint = "/";
    mounts[1].mountPoint = "/proc";
    mounts[2].mountPoint = "/home/me";
    mounts[3].mountPoint = "/swap";  // a file can be a mount point too
    ScanProgress progress;
    const Tree tree = scanTree("/", progress, &mounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.mountPointCount, 3u);
    EXPECT_EQ(tree.nodes[0].size, 0u);
    EXPECT_EQ(lister.opened, (std::vector<std::string>{"/", "/home"}));
    const ScanSnapshot last = progress.snapshot();
    EXPECT_EQ(stateOf(last, "proc"), PreviewState::OtherFileSystem);
    EXPECT_EQ(stateOf(last, "home"), PreviewState::Complete);
    EXPECT_EQ(progress.files.load(), 0u);
    EXPECT_EQ(tree.nodePath(1), std::filesystem::path("/proc"));
}

TEST(ScanEngineFaults, SizesSaturateInsteadOfWrapping) {
    FakeDirectoryLister lister;
    const uint64_t huge = uint64_t{1} << 63;
    lister.folders["/r"] = {{"a", File, huge}, {"b", File, huge}, {"d", Folder}};
    lister.folders["/r/d"] = {{"c", File, huge}, {"e", File, huge}};
    ScanProgress progress;
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    EXPECT_EQ(tree.nodes[0].size, ~uint64_t{0});
    EXPECT_EQ(tree.nodes[0].fileCount, 4u);
    EXPECT_EQ(progress.bytes.load(), ~uint64_t{0});  // the status line never shows a small number
    const ScanSnapshot last = progress.snapshot();
    EXPECT_EQ(last.bytes, ~uint64_t{0});
    for (const PreviewItem& item : last.items) EXPECT_EQ(item.bytes, ~uint64_t{0});
}

TEST(ScanEngineFaults, PreviewItemsInListingOrderWithTheRootFilesAtTheirFirstFile) {
    FakeDirectoryLister lister;
    lister.folders["/r"] = {{"d1", Folder}, {"f1", File, 5}, {"d2", Folder}, {"f2", File, 6}, {"d3", Folder}};
    lister.folders["/r/d1"] = {{"x", File, 100}};
    lister.folders["/r/d2"] = {};
    lister.folders["/r/d3"] = {{"sub", Folder}};
    lister.folders["/r/d3/sub"] = {{"y", File, 7}};
    ScanProgress progress;
    scanTree("/r", progress, &kNoMounts, lister);
    const ScanSnapshot last = progress.snapshot();
    std::vector<std::string> names;
    for (const PreviewItem& item : last.items) names.push_back(item.name);
    ASSERT_EQ(names, (std::vector<std::string>{"d1", "", "d2", "d3"}));
    EXPECT_FALSE(last.items[1].isFolder);
    EXPECT_EQ(last.items[1].bytes, 11u);
    EXPECT_EQ(last.items[1].fileCount, 2u);
    EXPECT_EQ(last.items[3].bytes, 7u);  // everything below the folder
    for (const PreviewItem& item : last.items) EXPECT_EQ(item.state, PreviewState::Complete) << item.name;
    EXPECT_EQ(last.bytes, 118u);
}

TEST(ScanEngineFaults, PublicationsAreForcedAtTheStartAfterFailedOpensAndAtTheEnd) {
    // /r lists c, b, a; they are walked c first. c/x vanished: its failed
    // open forces a publication, and nothing else is due within 90 ms.
    FakeDirectoryLister lister;
    lister.folders["/r"] = {{"a", Folder}, {"b", Folder}, {"c", Folder}};
    lister.folders["/r/a"] = {{"fa", File, 1}};
    lister.folders["/r/b"] = {{"fb1", File, 2}, {"fb2", File, 3}};
    lister.folders["/r/c"] = {{"x", Folder}};
    ScanProgress progress;
    std::vector<ScanSnapshot> seen;
    lister.onEntry = [&](const std::string& folder, const std::string& entry) {
        seen.push_back(progress.snapshot());
        if (folder == "/r/b" && entry == "fb2") progress.stop = true;
    };
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_TRUE(seen[0].valid);  // the first, forced publication: the root, no items yet
    EXPECT_TRUE(seen[0].items.empty());
    EXPECT_EQ(seen[0].root, std::filesystem::path("/r"));
    EXPECT_TRUE(seen[2].items.empty());  // unforced attempts within 90 ms publish nothing
    const ScanSnapshot& afterVanished = seen[4];  // while b is listed
    EXPECT_EQ(stateOf(afterVanished, "c"), PreviewState::Complete);
    EXPECT_EQ(stateOf(afterVanished, "b"), PreviewState::Pending);
    EXPECT_EQ(stateOf(afterVanished, "a"), PreviewState::Pending);
    const ScanSnapshot last = progress.snapshot();
    EXPECT_TRUE(tree.stopped);
    EXPECT_EQ(stateOf(last, "b"), PreviewState::Scanning);
    EXPECT_EQ(stateOf(last, "a"), PreviewState::Pending);
    EXPECT_EQ(last.bytes, 5u);
}

TEST(ScanEngineFaults, PublicationIsThrottledTo90Milliseconds) {
    FakeDirectoryLister lister;
    for (int i = 0; i < 60; ++i) lister.folders["/r"].push_back({"f" + std::to_string(i), File, 1});
    ScanProgress progress;
    std::vector<uint64_t> published;
    lister.onEntry = [&](const std::string&, const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const uint64_t bytes = progress.snapshot().bytes;
        if (published.empty() || published.back() != bytes) published.push_back(bytes);
    };
    scanTree("/r", progress, &kNoMounts, lister);
    // At least 300 ms of listing: a few publications, far fewer than the 60
    // entries even on a machine slow enough to stretch the sleeps threefold.
    EXPECT_GE(published.size(), 2u);
    EXPECT_LE(published.size(), 20u);
    EXPECT_EQ(progress.snapshot().bytes, 60u);
}

}  // namespace
}  // namespace fan
