// Space figures: the clamps of the space rule, statvfs itself, the time limit
// on queries that may hang, and where mountEntryForPath measures.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/bounded_space_query.h"
#include "core/file_system_kind.h"
#include "core/mount_table_linux.h"
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
    struct Case {
        SpaceFigures reported;
        uint64_t total, free, available;
        bool known;
    };
    const Case cases[] = {
        {{1000, 600, 400}, 1000, 600, 400, true},
        {{1000, 1500, 1200}, 1000, 1000, 1000, true},  // free above capacity
        {{1000, 600, 900}, 1000, 600, 600, true},      // available above free
        {{0, 10, 5}, 0, 0, 0, false},                  // no capacity: stored, not known
        {{1000, 0, 0}, 1000, 0, 0, true},              // full
    };
    for (const Case& c : cases) {
        MountEntry entry;
        applySpaceRule(entry, c.reported);
        EXPECT_EQ(entry.totalBytes, c.total);
        EXPECT_EQ(entry.freeBytes, c.free);
        EXPECT_EQ(entry.availableBytes, c.available);
        EXPECT_EQ(entry.spaceKnown, c.known);
    }
}

TEST(SpaceRule, AFailedQueryKeepsTheFiguresAndForgetsThem) {
    MountEntry entry;
    applySpaceRule(entry, SpaceFigures{1000, 600, 400});
    applySpaceRule(entry, std::nullopt);
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_EQ(entry.totalBytes, 1000u);
    EXPECT_EQ(entry.freeBytes, 600u);
    EXPECT_EQ(entry.availableBytes, 400u);
}

TEST(SystemSpaceQuery, MeasuresARealFileSystem) {
    const auto figures = systemSpaceQuery()->measure("/");
    ASSERT_TRUE(figures.has_value());
    EXPECT_GT(figures->totalBytes, 0u);
    EXPECT_FALSE(systemSpaceQuery()->measure("/nonexistent/fan/path").has_value());

    MountEntry entry;
    entry.totalBytes = 7;
    refreshMountSpace(entry, "/nonexistent/fan/path");
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_EQ(entry.totalBytes, 7u);
    refreshMountSpace(entry, std::filesystem::temp_directory_path());
    EXPECT_TRUE(entry.spaceKnown);
    EXPECT_LE(entry.availableBytes, entry.freeBytes);
}

TEST(FileSystemKind, TellsNetworkAndPossiblyHangingTypes) {
    for (const char* type : {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs", "sshfs", "davfs"}) {
        EXPECT_TRUE(isNetworkFileSystem(type)) << type;
        EXPECT_TRUE(spaceQueryMayBlock(type)) << type;
    }
    for (const char* type : {"fuse.rclone", "fuse", "fuseblk", "autofs"}) {
        EXPECT_FALSE(isNetworkFileSystem(type)) << type;
        EXPECT_TRUE(spaceQueryMayBlock(type)) << type;
    }
    for (const char* type : {"ext4", "btrfs", "tmpfs", "vfat", "iso9660", "proc", "nfsd", "fusectl", ""}) {
        EXPECT_FALSE(isNetworkFileSystem(type)) << type;
        EXPECT_FALSE(spaceQueryMayBlock(type)) << type;
    }
}

TEST(FileSystemKind, OnlyKnownLocalMountsAreAskedWithoutATimeLimit) {
    const auto mount = [](const char* type, const char* device, bool pseudo = false) {
        MountEntry entry;
        entry.fsType = type;
        entry.device = device;
        entry.pseudo = pseudo;
        return entry;
    };
    for (const MountEntry& local : {mount("ext4", "8:1"), mount("xfs", "259:3"), mount("tmpfs", "0:25"),
                                    mount("proc", "0:22", true), mount("vfat", "8:17")})
        EXPECT_FALSE(spaceQueryMayBlock(local)) << local.fsType;
    for (const MountEntry& remote : {mount("ceph", "0:50"), mount("9p", "0:51"), mount("afs", "0:52"),
                                     mount("nfs4", "0:40"), mount("fuseblk", "8:2"), mount("", "8:1"),
                                     mount("ext4", ""), mount("ext4", "x:1"), mount("ext4", ":1"),
                                     mount("btrfs", "00:31")})
        EXPECT_TRUE(spaceQueryMayBlock(remote)) << remote.fsType << " " << remote.device;
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
    EXPECT_EQ(space_.outstanding(), 4u);

    // Still stuck: the next call starts no query of its own and does not wait.
    const auto again = Clock::now();
    const auto second = listMounts(sources_, tableRead);
    EXPECT_LT(since(again), milliseconds(300));
    EXPECT_EQ(query_->blockedCalls(), 4);
    EXPECT_EQ(space_.outstanding(), 4u);
    ASSERT_EQ(second.size(), 5u);
    EXPECT_TRUE(second[0].spaceKnown);
    EXPECT_FALSE(second[1].spaceKnown);

    // Once the server answers, its mounts are measured again.
    query_->release();
    ASSERT_TRUE(drained(space_));
    const auto third = listMounts(sources_, tableRead);
    for (const MountEntry& m : third) EXPECT_TRUE(m.spaceKnown) << m.mountPoint;
}

TEST_F(DeadServer, PathQueriesOnADeadMountAreBoundedToo) {
    bool tableRead = false;
    const auto mounts = listMounts(sources_, tableRead);
    ASSERT_EQ(space_.outstanding(), 4u);

    // The mount point's own query is still stuck: unknown at once.
    auto start = Clock::now();
    MountEntry entry = mountEntryForPath("/mnt/nas/projects", mounts, sources_);
    EXPECT_LT(since(start), milliseconds(300));
    EXPECT_EQ(entry.mountPoint, "/mnt/nas");
    EXPECT_EQ(entry.source, "nas:/export");
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_EQ(query_->blockedCalls(), 4);

    // A path whose mount is not listed may be anything: it gets the time limit.
    start = Clock::now();
    entry = mountEntryForPath("/mnt/elsewhere", {}, sources_);
    EXPECT_LT(since(start), milliseconds(1000));
    EXPECT_FALSE(entry.spaceKnown);
    EXPECT_TRUE(entry.mountPoint.empty());
    EXPECT_EQ(query_->blockedCalls(), 5);

    query_->release();
    ASSERT_TRUE(drained(space_));
    refreshMountSpace(entry, "/mnt/elsewhere", sources_);
    EXPECT_TRUE(entry.spaceKnown);
}

TEST(BoundedSpaceQuery, AnswersBeforeTheLimitComeBackAtOnce) {
    auto query = std::make_shared<testing::FixedSpaceQuery>(SpaceFigures{10, 5, 4});
    BoundedSpaceQuery space(query);
    const auto start = Clock::now();
    const auto figures = space.measure("/k", "/k/path", std::chrono::seconds(10));
    EXPECT_LT(since(start), milliseconds(1000));
    ASSERT_TRUE(figures.has_value());
    EXPECT_EQ(figures->totalBytes, 10u);
    ASSERT_EQ(query->calls().size(), 1u);
    EXPECT_EQ(query->calls()[0].path, "/k/path");
    EXPECT_NE(query->calls()[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(drained(space));
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

class LocalSpace : public ::testing::Test {
protected:
    LocalSpace() : fixed_(SpaceFigures{1000, 1200, 1100}), query_(fixed_.query), sources_(fixed_.sources) {}

    testing::FixedMountSources fixed_;
    std::shared_ptr<testing::FixedSpaceQuery> query_;
    MountTableSources& sources_;
};

TEST_F(LocalSpace, ListMountsAsksLocalFileSystemsDirectlyAndClamps) {
    fixed_.mountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 0:5 / /tmp rw - tmpfs tmpfs rw\n"
        "3 1 0:40 / /mnt/nas rw - nfs nas:/x rw\n");
    bool tableRead = false;
    const auto mounts = listMounts(sources_, tableRead);
    ASSERT_EQ(mounts.size(), 3u);
    for (const MountEntry& m : mounts) {
        EXPECT_TRUE(m.spaceKnown);
        EXPECT_EQ(m.totalBytes, 1000u);
        EXPECT_EQ(m.freeBytes, 1000u);
        EXPECT_EQ(m.availableBytes, 1000u);
    }
    const auto calls = query_->calls();
    ASSERT_EQ(calls.size(), 3u);
    for (const auto& call : calls) {
        const bool network = call.path == "/mnt/nas";
        EXPECT_EQ(call.thread == std::this_thread::get_id(), !network) << call.path;
    }
}

TEST_F(LocalSpace, MountEntryForPathCopiesTheMountAndMeasuresThePath) {
    MountEntry root, home;
    root.mountPoint = "/";
    root.fsType = "ext4";
    root.device = "8:1";
    root.model = "Disk A";
    home = root;
    home.mountPoint = "/home";
    home.source = "/dev/sda2";
    home.device = "8:2";
    home.totalBytes = 5;
    const std::vector<MountEntry> known = {root, home};

    MountEntry entry = mountEntryForPath("/home/user/../user/docs/", known, sources_);
    EXPECT_EQ(entry.mountPoint, "/home");
    EXPECT_EQ(entry.source, "/dev/sda2");
    EXPECT_EQ(entry.device, "8:2");
    EXPECT_EQ(entry.model, "Disk A");
    EXPECT_TRUE(entry.spaceKnown);
    EXPECT_EQ(entry.totalBytes, 1000u);
    EXPECT_EQ(entry.availableBytes, 1000u);
    ASSERT_EQ(query_->calls().size(), 1u);
    EXPECT_EQ(query_->calls()[0].path, "/home/user/docs/");

    // A relative path is taken from the working folder.
    entry = mountEntryForPath("relative/x", known, sources_);
    EXPECT_EQ(entry.mountPoint, std::filesystem::current_path().string().rfind("/home", 0) == 0 ? "/home" : "/");

    // With no listed mount the entry carries only the space of the path.
    entry = mountEntryForPath("/somewhere", {}, sources_);
    EXPECT_TRUE(entry.mountPoint.empty());
    EXPECT_TRUE(entry.source.empty());
    EXPECT_TRUE(entry.fsType.empty());
    EXPECT_TRUE(entry.spaceKnown);
    EXPECT_EQ(entry.totalBytes, 1000u);
}

}  // namespace
}  // namespace fan
