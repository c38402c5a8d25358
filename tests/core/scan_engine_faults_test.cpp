// The walk when listing goes wrong or is stopped, through a lister double.
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

// /r holds a (a1 with two files, a2 with one), b (one file) and a root file.
FakeDirectoryLister sampleTree() {
    FakeDirectoryLister lister;
    lister.folders["/r"] = {{".", Folder}, {"..", Folder}, {"a", Folder}, {"b", Folder}, {"top", File, 4}};
    lister.folders["/r/a"] = {{"a1", Folder}, {"a2", Folder}};
    lister.folders["/r/a/a1"] = {{"x", File, 100}, {"y", File, 200}};
    lister.folders["/r/a/a2"] = {{"z", File, 300}};
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
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(lister.opened, (std::vector<std::string>{"/r", "/r/b", "/r/a", "/r/a/a2", "/r/a/a1"}));
    EXPECT_EQ(tree.nodes.size(), 10u);
    EXPECT_EQ(tree.nodes[0].size, 654u);
    EXPECT_EQ(tree.nodes[0].fileCount, 5u);
    // Children of one folder take consecutive indices in listing order.
    EXPECT_EQ(tree.nodes[1].name, "a");
    EXPECT_EQ(tree.nodes[2].name, "b");
    EXPECT_EQ(tree.nodes[3].name, "top");
}

TEST(ScanEngineFaults, RootThatCannotBeListed) {
    // Refused: an error and the root alone. Not found: an empty scan.
    const struct {
        ListOpen fault;
        uint64_t errors;
        std::string text;
    } cases[] = {{ListOpen::Failed, 1, "Нет доступа к папке: /r"}, {ListOpen::NotFound, 0, ""}};
    for (const auto& c : cases) {
        FakeDirectoryLister lister = sampleTree();
        lister.openFaults["/r"] = c.fault;
        ScanProgress progress;
        const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
        ASSERT_EQ(tree.nodes.size(), 1u);
        EXPECT_EQ(tree.errorCount, c.errors);
        EXPECT_EQ(tree.errorText, c.text);
        EXPECT_TRUE(progress.snapshot().valid);
    }
}

TEST(ScanEngineFaults, SubfolderFailuresMarkOnlyTheirTopLevelItem) {
    FakeDirectoryLister lister = sampleTree();
    lister.openFaults["/r/a/a1"] = ListOpen::Failed;  // fails to open
    ScanProgress progress;
    Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.errorCount, 1u);
    EXPECT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.nodes[0].size, 354u);
    ScanSnapshot last = progress.snapshot();
    EXPECT_EQ(stateOf(last, "a"), PreviewState::AccessError);
    EXPECT_EQ(stateOf(last, "b"), PreviewState::Complete);
    EXPECT_EQ(stateOf(last, ""), PreviewState::Complete);

    // A listing that breaks off keeps what it had already returned.
    FakeDirectoryLister midway = sampleTree();
    midway.failAfter["/r/a/a1"] = 1;
    tree = scanTree("/r", progress, &kNoMounts, midway);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.errorCount, 1u);
    EXPECT_EQ(tree.nodes[0].size, 454u);
    last = progress.snapshot();
    EXPECT_EQ(stateOf(last, "a"), PreviewState::AccessError);
}

TEST(ScanEngineFaults, FolderVanishingBeforeItIsListedIsEmptyNotAnError) {
    FakeDirectoryLister lister = sampleTree();
    lister.folders.erase("/r/a/a2");
    ScanProgress progress;
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(tree.nodes[0].size, 354u);
    EXPECT_EQ(stateOf(progress.snapshot(), "a"), PreviewState::Complete);
}

TEST(ScanEngineFaults, StopMidWalkLeavesAConsistentPartialTree) {
    FakeDirectoryLister lister = sampleTree();
    ScanProgress progress;
    lister.onEntry = [&](const std::string& folder, const std::string& entry) {
        if (folder == "/r/a/a2" && entry == "z") progress.stop = true;
    };
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    testing::expectConsistentTree(tree);
    EXPECT_TRUE(tree.stopped);
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(lister.opened.back(), "/r/a/a2");  // a1 is never listed
    // The stop is seen before the entry after z: b, top and z are recorded.
    EXPECT_EQ(tree.nodes[0].size, 354u);
    EXPECT_EQ(progress.files.load(), 3u);
    const ScanSnapshot last = progress.snapshot();
    EXPECT_EQ(stateOf(last, "b"), PreviewState::Complete);
    EXPECT_EQ(stateOf(last, "a"), PreviewState::Scanning);
    EXPECT_EQ(last.bytes, 354u);
    EXPECT_EQ(tree.nodes[0].children.size(), 3u);
}

TEST(ScanEngineFaults, StopBeforeTheFirstFolderGivesTheRootAlone) {
    FakeDirectoryLister lister = sampleTree();
    ScanProgress progress;
    progress.stop = true;
    const Tree tree = scanTree("/r", progress, &kNoMounts, lister);
    EXPECT_TRUE(tree.stopped);
    EXPECT_EQ(tree.nodes.size(), 1u);
    EXPECT_TRUE(lister.opened.empty());
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
    EXPECT_EQ(tree.nodes[0].name, "/");
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
    for (const PreviewItem& item : progress.snapshot().items) EXPECT_EQ(item.bytes, ~uint64_t{0});
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
    // After the stop, the final forced publication keeps the states as they were.
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
