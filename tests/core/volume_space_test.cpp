// Space figures: the clamps of the space rule, statvfs itself, which mounts
// are asked without a time limit, and the time limit on the others.
#include <atomic>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/bounded_space_query.h"
#include "core/file_system_kind.h"
#include "core/mount_table_linux.h"
#include "tests/core/temp_tree.h"

namespace fan {
namespace {

using Clock = std::chrono::steady_clock;

TEST(SpaceRule, ClampsAndJudgesTheFigures) {
    const struct {
        const char* name;
        std::optional<SpaceFigures> reported;
        uint64_t total;
        uint64_t free;
        uint64_t available;
        bool known;
    } cases[] = {
        {"free above capacity", SpaceFigures{1000, 1500, 1200}, 1000, 1000, 1000, true},
        {"available above free", SpaceFigures{1000, 600, 900}, 1000, 600, 600, true},
        {"no capacity: stored, not known", SpaceFigures{0, 10, 5}, 0, 0, 0, false},
        {"refused: the old figures stay", std::nullopt, 7, 6, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MountEntry entry;
        applySpaceRule(entry, SpaceFigures{7, 6, 5});
        applySpaceRule(entry, c.reported);
        EXPECT_EQ(entry.totalBytes, c.total);
        EXPECT_EQ(entry.freeBytes, c.free);
        EXPECT_EQ(entry.availableBytes, c.available);
        EXPECT_EQ(entry.spaceKnown, c.known);
    }
    EXPECT_FALSE(systemSpaceQuery()->measure("/nonexistent/fan/path").has_value());
}

TEST(SpaceRule, AFolderDeeperThanPathMaxIsMeasuredToo) {
    // Each folder made relative to the one above: no call gets the whole
    // path. Three times PATH_MAX deep, so it is reached in several steps.
    testing::TempTree temp;
    const std::string name(NAME_MAX, 'd');
    std::filesystem::path deep = temp.root();
    int fd = ::open(temp.root().c_str(), O_RDONLY | O_DIRECTORY);
    while (fd >= 0 && deep.native().size() <= 3 * PATH_MAX) {
        const int next = ::mkdirat(fd, name.c_str(), 0755) == 0 ? ::openat(fd, name.c_str(), O_RDONLY) : -1;
        ::close(fd);
        fd = next;
        deep /= name;
    }
    ASSERT_GE(fd, 0);
    ::close(fd);
    MountEntry entry;
    refreshMountSpace(entry, deep);
    EXPECT_TRUE(entry.spaceKnown);
}

TEST(FileSystemKind, OnlyKnownLocalMountsAreAskedWithoutATimeLimit) {
    const struct {
        const char *type, *device;
        bool pseudo, network, mayBlock;
    } cases[] = {
        {"ext4", "8:1", false, false, false},      {"proc", "0:22", true, false, false},
        {"nfsd", "0:23", false, false, true},      {"nfs4", "0:40", false, true, true},
        {"fuse.sshfs", "0:43", false, true, true}, {"fuseblk", "8:2", false, false, true},  // FUSE
        {"autofs", "0:46", true, false, true},                                              // automounts
        {"", "8:1", false, false, true},                                                    // unknown: may block
        {"btrfs", "00:31", false, false, true},                                             // no real device
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

// Answers at once, but a query below /mnt/ hangs, as on a server that does
// not answer, until released.
struct DeadServerQuery : SpaceQuery {
    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        if (path.string().rfind("/mnt/", 0) == 0) {
            ++hung;
            released.wait();
        }
        return SpaceFigures{1000, 500, 400};
    }
    mutable std::atomic<int> hung{0};
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
};

TEST(DeadServer, ListMountsWaitsOneTimeLimitForAllDeadMountsTogether) {
    testing::TempTree dir;
    const auto query = std::make_shared<DeadServerQuery>();
    BoundedSpaceQuery space(query);
    MountTableSources sources;
    sources.space = &space;
    sources.spaceTimeLimit = std::chrono::seconds(2);
    sources.mountInfo = dir.write("mountinfo",
                                  "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                  "2 1 0:40 / /mnt/nas rw - nfs4 nas:/export rw\n"
                                  "4 1 0:42 / /mnt/ssh rw - fuse.sshfs u@host:/ rw\n"
                                  "5 1 0:43 / /mnt/auto rw - autofs systemd-1 rw\n");
    const auto start = Clock::now();
    bool tableRead = false;
    const auto mounts = listMounts(sources, tableRead);
    const auto took = Clock::now() - start;
    // One after another, the three dead mounts would take six seconds.
    EXPECT_GE(took, std::chrono::seconds(2));
    EXPECT_LT(took, std::chrono::seconds(5));
    ASSERT_EQ(mounts.size(), 4u);
    for (const MountEntry& m : mounts)
        EXPECT_EQ(m.spaceKnown, m.mountPoint == "/") << m.mountPoint;
    EXPECT_EQ(query->hung, 3);
    // The next listing does not ask the mounts still stuck again: they stay unknown at once.
    const auto again = listMounts(sources, tableRead);
    EXPECT_EQ(query->hung, 3);
    ASSERT_EQ(again.size(), 4u);
    EXPECT_FALSE(again[1].spaceKnown);
    // Nothing may stay blocked on the double once the test is over.
    query->release.set_value();
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (space.outstanding() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(space.outstanding(), 0u);
}

}  // namespace
}  // namespace fan
