// One listing thread only where the kernel knows the disk spins.
#include "core/scan_threads.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fan {
namespace {

DiskFacts disk(bool rotational, const char* bus) {
    DiskFacts facts;
    facts.rotational = rotational;
    facts.bus = bus;
    return facts;
}

DiskFacts mappedOnto(const DiskFacts& under) {
    DiskFacts facts = disk(true, "");
    facts.underlying = {disk(false, "nvme"), under};
    return facts;
}

TEST(ScanThreads, OnlyADiskKnownToSpinGetsOneThread) {
    const struct {
        const char* name;
        DiskFacts disk;
        bool spins;
    } rows[] = {
        {"SATA hard disk", disk(true, "scsi"), true},
        {"SATA solid-state disk", disk(false, "scsi"), false},
        {"virtio disk, which cannot tell", disk(true, "virtio"), false},
        {"Xen disk", disk(true, "xen"), false},
        {"loop device", disk(true, ""), false},
        {"logical volume on a hard disk", mappedOnto(disk(true, "scsi")), true},
        {"logical volume on a virtio disk", mappedOnto(disk(true, "virtio")), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(diskKnownToSpin(row.disk), row.spins);
    }
}

// A process confined to some processors (as `taskset` does) lists on as
// many threads as it may use, not one per processor of the machine.
TEST(ScanThreads, ThreadsFollowTheProcessorsTheProcessMayUse) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2) GTEST_SKIP() << "needs two processors";
    for (int confined : {1, 2}) {
        SCOPED_TRACE(confined);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            cpu_set_t some;
            CPU_ZERO(&some);
            for (int cpu = 0; cpu < CPU_SETSIZE && CPU_COUNT(&some) < confined; ++cpu) {
                if (CPU_ISSET(cpu, &allowed)) CPU_SET(cpu, &some);
            }
            if (::sched_setaffinity(0, sizeof some, &some) != 0) ::_exit(99);
            ::_exit(scanThreadCount(MountEntry{}));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), confined);
    }
}

}  // namespace
}  // namespace fan
