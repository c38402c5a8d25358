// Space figures: the clamps of the space rule, statvfs itself, which mounts
// are asked without a time limit, the time limit on the others, where
// mountEntryForPath measures, and the node table sized from the figures.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/bounded_space_query.h"
#include "core/file_system_kind.h"
#include "core/mount_table_linux.h"
#include "core/node_reserve.h"
#include "core/volume_space.h"
#include "tests/core/mount_test_support.h"

namespace fan {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Waits (a few seconds at most) for the query threads to drain.
bool drained(const BoundedSpaceQuery& space) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (space.outstanding() != 0 && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(5));
    return space.outstanding() == 0;
}

TEST(SpaceRule, ClampsAndJudgesTheFigures) {
    const struct {
        std::optional<SpaceFigures> reported;
        uint64_t total, free, available;
        bool known;
    } cases[] = {
        {SpaceFigures{1000, 600, 400}, 1000, 600, 400, true},
        {SpaceFigures{1000, 1500, 1200}, 1000, 1000, 1000, true},  // free above capacity
        {SpaceFigures{1000, 600, 900}, 1000, 600, 600, true},      // available above free
        {SpaceFigures{0, 10, 5}, 0, 0, 0, false},                  // no capacity: stored, not known
        {std::nullopt, 7, 6, 5, false},                            // refused: the old figures stay
    };
    for (const auto& c : cases) {
        MountEntry entry;
        applySpaceRule(entry, SpaceFigures{7, 6, 5});
        applySpaceRule(entry, c.reported);
        EXPECT_EQ(entry.totalBytes, c.total);
        EXPECT_EQ(entry.freeBytes, c.free);
        EXPECT_EQ(entry.availableBytes, c.available);
        EXPECT_EQ(entry.spaceKnown, c.known);
    }
}

TEST(SpaceRule, StatvfsMeasuresARealFileSystem) {
    const auto figures = systemSpaceQuery()->measure("/");
    ASSERT_TRUE(figures.has_value());
    EXPECT_GT(figures->totalBytes, 0u);
    EXPECT_FALSE(systemSpaceQuery()->measure("/nonexistent/fan/path").has_value());
    MountEntry entry;
    refreshMountSpace(entry, std::filesystem::temp_directory_path());
    EXPECT_TRUE(entry.spaceKnown);
}

TEST(FileSystemKind, OnlyKnownLocalMountsAreAskedWithoutATimeLimit) {
    const struct {
        const char *type, *device;
        bool pseudo, network, mayBlock;
    } cases[] = {
        {"ext4", "8:1", false, false, false},     {"xfs", "259:3", false, false, false},
        {"tmpfs", "0:25", false, false, false},   {"proc", "0:22", true, false, false},
        {"nfsd", "0:23", false, false, true},     {"nfs4", "0:40", false, true, true},
        {"cifs", "0:41", false, true, true},      {"smb3", "0:42", false, true, true},
        {"fuse.sshfs", "0:43", false, true, true}, {"davfs", "0:44", false, true, true},
        {"fuse.rclone", "0:45", false, false, true}, {"fuseblk", "8:2", false, false, true},
        {"autofs", "0:46", true, false, true},    {"ceph", "0:50", false, false, true},
        {"9p", "0:51", false, false, true},       {"", "8:1", false, false, true},
        {"ext4", "", false, false, true},         {"ext4", "x:1", false, false, true},
        {"btrfs", "00:31", false, false, true},
    };
    for (const auto& c : cases) {
        MountEntry entry;
        entry.fsType = c.type;
        entry.device = c.device;
        entry.pseudo = c.pseudo;
        EXPECT_EQ(isNetworkFileSystem(c.type), c.network) << c.type;
        EXPECT_EQ(spaceQueryMayBlock(entry), c.mayBlock) << c.type << " " << c.device;
    }
}

TEST(NodeReserve, RoomForTheEntriesInUseWhenTheFiguresTellThem) {
    const struct {
        uint64_t total, free;
        size_t atLeast, below;
    } cases[] = {{1000, 400, 601, 1000}, {0, 0, 0, 1}, {10, 20, 0, 1}};
    for (const auto& c : cases) {
        std::vector<ScanNode> nodes;
        SpaceFigures figures;
        figures.totalEntries = c.total;
        figures.freeEntries = c.free;
        reserveNodes(nodes, figures);
        EXPECT_GE(nodes.capacity(), c.atLeast) << c.total;
        EXPECT_LT(nodes.capacity(), c.below) << c.total;
    }
}

class DeadServer : public ::testing::Test {
protected:
    DeadServer()
        : query_(std::make_shared<testing::DeadServerSpaceQuery>(std::vector<std::string>{"/mnt/"},
                                                                  SpaceFigures{1000, 500, 400})),
          space_(query_) {
        sources_.mountInfo = dir_.write("mountinfo",
                                        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                        "2 1 0:40 / /mnt/nas rw - nfs4 nas:/export rw\n"
                                        "3 1 0:41 / /mnt/share rw - cifs //srv/share rw\n"
                                        "4 1 0:42 / /mnt/ssh rw - fuse.sshfs u@host:/ rw\n"
                                        "5 1 0:43 / /mnt/auto rw - autofs systemd-1 rw\n");
        sources_.sysRoot = dir_.root();
        sources_.space = &space_;
    }
    // Nothing may stay blocked on the double once the test is over.
    ~DeadServer() override {
        query_->release();
        EXPECT_TRUE(drained(space_));
    }

    testing::TempTree dir_;
    std::shared_ptr<testing::DeadServerSpaceQuery> query_;
    BoundedSpaceQuery space_;
    MountTableSources sources_;
};

TEST_F(DeadServer, ListMountsGivesUpOnceForAllDeadMounts) {
    bool tableRead = false;
    const auto start = Clock::now();
    const auto mounts = listMounts(sources_, tableRead);
    const milliseconds took = since(start);
    ASSERT_EQ(mounts.size(), 5u);
    // Four dead mounts waited for side by side: one time limit, not four
    // (2 s), with room for a loaded machine.
    EXPECT_GE(took, milliseconds(450));
    EXPECT_LT(took, milliseconds(1500));
    EXPECT_TRUE(mounts[0].spaceKnown);
    for (size_t i = 1; i < mounts.size(); ++i) EXPECT_FALSE(mounts[i].spaceKnown) << mounts[i].mountPoint;
    EXPECT_EQ(query_->blockedCalls(), 4);

    // Still stuck: the next call starts no query of its own and does not wait.
    const auto again = Clock::now();
    const auto second = listMounts(sources_, tableRead);
    EXPECT_LT(since(again), milliseconds(300));
    EXPECT_EQ(query_->blockedCalls(), 4);
    EXPECT_EQ(space_.outstanding(), 4u);
    ASSERT_EQ(second.size(), 5u);
    EXPECT_FALSE(second[1].spaceKnown);

    // Once the server answers, its mounts are measured again.
    query_->release();
    ASSERT_TRUE(drained(space_));
    for (const MountEntry& m : listMounts(sources_, tableRead)) EXPECT_TRUE(m.spaceKnown) << m.mountPoint;
}

TEST_F(DeadServer, PathQueriesOnADeadMountAreBoundedToo) {
    bool tableRead = false;
    const auto mounts = listMounts(sources_, tableRead);
    // The mount point's own query is still stuck: unknown at once.
    auto start = Clock::now();
    MountEntry entry = mountEntryForPath("/mnt/nas/projects", mounts, sources_);
    EXPECT_LT(since(start), milliseconds(300));
    EXPECT_EQ(entry.source, "nas:/export");
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_EQ(query_->blockedCalls(), 4);
    // A path whose mount is not listed may be anything: it gets the time limit.
    start = Clock::now();
    entry = mountEntryForPath("/mnt/elsewhere", {}, sources_);
    EXPECT_LT(since(start), milliseconds(1000));
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_EQ(query_->blockedCalls(), 5);
    query_->release();
    ASSERT_TRUE(drained(space_));
    refreshMountSpace(entry, "/mnt/elsewhere", sources_);
    EXPECT_TRUE(entry.spaceKnown);
}

TEST(BoundedSpaceQuery, AQueryOutlivesItsRunner) {
    auto query = std::make_shared<testing::DeadServerSpaceQuery>(std::vector<std::string>{"/"}, SpaceFigures{});
    {
        BoundedSpaceQuery space(query);
        EXPECT_FALSE(space.measure("/dead", "/dead", milliseconds(20)).has_value());
    }
    query->release();
    // The thread finishes on state it shares; nothing to observe but no crash
    // (the sanitizer build watches the memory).
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (query.use_count() > 1 && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(5));
    EXPECT_EQ(query.use_count(), 1);
}

TEST(LocalSpace, ListMountsAsksLocalFileSystemsDirectlyAndClamps) {
    testing::FixedMountSources fixed(SpaceFigures{1000, 1200, 1100});
    fixed.mountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 0:5 / /tmp rw - tmpfs tmpfs rw\n"
        "3 1 0:40 / /mnt/nas rw - nfs nas:/x rw\n");
    bool tableRead = false;
    for (const MountEntry& m : listMounts(fixed.sources, tableRead)) {
        EXPECT_TRUE(m.spaceKnown);
        EXPECT_EQ(m.freeBytes, 1000u);
        EXPECT_EQ(m.availableBytes, 1000u);
    }
    const auto calls = fixed.query->calls();
    ASSERT_EQ(calls.size(), 3u);
    for (const auto& call : calls) EXPECT_EQ(call.thread == std::this_thread::get_id(), call.path != "/mnt/nas");
}

TEST(LocalSpace, MountEntryForPathCopiesTheMountAndMeasuresThePath) {
    testing::FixedMountSources fixed(SpaceFigures{1000, 600, 400});
    std::vector<MountEntry> known(2);
    known[0].mountPoint = "/";
    known[1].mountPoint = "/home";
    known[1].source = "/dev/sda2";
    known[1].fsType = "ext4";
    known[1].device = "8:2";
    known[1].model = "Disk A";
    known[1].totalBytes = 5;
    MountEntry entry = mountEntryForPath("/home/user/../user/docs/", known, fixed.sources);
    EXPECT_EQ(entry.mountPoint, "/home");
    EXPECT_EQ(entry.model, "Disk A");
    EXPECT_TRUE(entry.spaceKnown);
    EXPECT_EQ(entry.totalBytes, 1000u);
    ASSERT_EQ(fixed.query->calls().size(), 1u);
    EXPECT_EQ(fixed.query->calls()[0].path, "/home/user/docs/");
    // With no listed mount the entry carries only the space of the path.
    entry = mountEntryForPath("/somewhere", {}, fixed.sources);
    EXPECT_TRUE(entry.mountPoint.empty());
    EXPECT_TRUE(entry.source.empty());
    EXPECT_TRUE(entry.spaceKnown);
}

}  // namespace
}  // namespace fan
