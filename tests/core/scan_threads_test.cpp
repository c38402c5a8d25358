// One listing thread only where the kernel knows the disk spins.
#include "core/scan_threads.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fan
