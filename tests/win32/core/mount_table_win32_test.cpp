// The Windows volume table on Wine's drives, and the drive queries' answers
// parsed from crafted buffers. Wine has no physical disks to ask, so the
// model and share queries are checked on their failure paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "core/drive_model_win32.h"
#include "core/mount_entry.h"
#include "core/path_text.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

const MountEntry* findMount(const std::vector<MountEntry>& mounts, const std::string& point) {
    for (const MountEntry& m : mounts)
        if (m.mountPoint == point) return &m;
    return nullptr;
}

void expectSaneSpace(const MountEntry& m) {
    EXPECT_TRUE(m.spaceKnown) << m.mountPoint;
    EXPECT_GT(m.totalBytes, 0u);
    EXPECT_LE(m.freeBytes, m.totalBytes);
    EXPECT_LE(m.availableBytes, m.freeBytes);
}

TEST(Win32VolumeTable, OneEntryPerDriveLetterInOrder) {
    const std::vector<MountEntry> mounts = listMounts();
    ASSERT_NE(findMount(mounts, "C:\\"), nullptr);
    for (size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts[i];
        ASSERT_EQ(m.mountPoint.size(), 3u);
        EXPECT_EQ(m.mountPoint.substr(1), ":\\");
        if (i > 0) {
            EXPECT_LT(mounts[i - 1].mountPoint, m.mountPoint);
        }
        EXPECT_EQ(m.source.compare(0, 3, m.mountPoint), 0) << m.source;
        EXPECT_TRUE(m.fsRoot.empty() && m.mountId == 0 && m.parentId == 0 && !m.pseudo);
    }
    const MountEntry& c = *findMount(mounts, "C:\\");
    EXPECT_FALSE(c.fsType.empty());
    expectSaneSpace(c);
}

TEST(Win32VolumeTable, EntryForAPathKeepsTheListedDescriptionAndMeasuresAnew) {
    testing::Win32TempTree temp;
    MountEntry listed;
    listed.mountPoint = "C:\\";
    listed.source = "C:\\ Labelled";
    listed.fsType = "stale";
    listed.model = "ACME Disk";
    listed.device = "PhysicalDrive9";
    const std::vector<MountEntry> known{listed};

    const MountEntry entry = mountEntryForPath(temp.root(), known);
    EXPECT_EQ(entry.mountPoint, "C:\\");
    EXPECT_EQ(entry.source, "C:\\ Labelled");
    EXPECT_EQ(entry.model, "ACME Disk");
    EXPECT_EQ(entry.device, "PhysicalDrive9");
    EXPECT_EQ(entry.fsType, findMount(listMounts(), "C:\\")->fsType);  // taken from the volume, not the list
    expectSaneSpace(entry);

    MountEntry refreshed = listed;
    refreshMountSpace(refreshed, temp.root());
    expectSaneSpace(refreshed);
    refreshMountSpace(refreshed, temp.join(L"no\\such\\folder"));
    EXPECT_FALSE(refreshed.spaceKnown);
    EXPECT_GT(refreshed.totalBytes, 0u);  // the figures stay as they were
}

TEST(Win32DriveQueries, FailuresGiveEmptyTextsAndLeaveTheDeviceAlone) {
    std::string device = "untouched";
    EXPECT_EQ(queryPhysicalDriveModel(L"C:\\no-such-folder", device), "");
    EXPECT_EQ(device, "untouched");
    // Wine answers no disk-extent request: C: has no model, and a device
    // name, if any, is one that names a disk.
    device.clear();
    const std::string model = queryPhysicalDriveModel(L"C:", device);
    if (!device.empty()) {
        EXPECT_EQ(device.compare(0, 13, "PhysicalDrive"), 0) << device;
    }
    std::printf("note: C: model \"%s\", device \"%s\"\n", model.c_str(), device.c_str());

    for (const char* point : {"C:\\", "x", "", "\\\\server\\share\\", "Q:"}) EXPECT_EQ(queryNetworkRemoteName(point), "");
}

// A descriptor buffer with the three text offsets at bytes 12, 16 and 20.
struct Descriptor {
    unsigned char bytes[1024] = {};
    void text(size_t field, uint32_t offset, const char* value) {
        std::memcpy(bytes + field, &offset, 4);
        if (value) std::memcpy(bytes + offset, value, std::strlen(value));
    }
};

TEST(Win32DriveQueries, DescriptorTextsAreReadOnlyInsideTheReturnedBytes) {
    const struct {
        const char* label;
        uint32_t vendorAt;
        const char* vendor;
        uint32_t productAt;
        const char* product;
        uint32_t revisionAt;
        const char* revision;
        size_t returned;
        const char* expected;
    } cases[] = {
        {"all three", 40, " \tACME\r\n", 60, "Disk ", 80, "1.0", 100, "ACME Disk"},
        {"vendor of blanks", 40, "   ", 60, "Disk", 80, "1.0", 100, "Disk"},
        {"only revision", 0, nullptr, 0, nullptr, 80, " 1.0", 100, "1.0"},
        {"offset at the end", 40, "ACME", 100, "Disk", 80, "1.0", 100, "ACME"},
        {"offset beyond", 40, "ACME", 900, "Disk", 80, "1.0", 100, "ACME"},
        {"text cut by the end", 40, "ACME", 96, "Disk", 80, "1.0", 98, "ACME Di"},
        {"offset fields beyond", 40, "ACME", 60, "Disk", 80, "1.0", 14, ""},
        {"more claimed than held", 40, "ACME", 1020, "Disk", 80, "1.0", 5000, "ACME Disk"},
        {"nothing returned", 40, "ACME", 60, "Disk", 80, "1.0", 0, ""},
    };
    for (const auto& c : cases) {
        Descriptor d;
        d.text(12, c.vendorAt, c.vendor);
        d.text(20, c.revisionAt, c.revision);
        d.text(16, c.productAt, c.product);  // at 1020: up to the buffer's end, unterminated
        EXPECT_EQ(modelFromDeviceDescriptor(d.bytes, c.returned), c.expected) << c.label;
    }
}

TEST(Win32DriveQueries, DiskNumberOnlyFromAWholeFirstExtent) {
    unsigned char extents[224] = {};
    uint32_t disk = 77;
    EXPECT_FALSE(diskNumberFromExtents(extents, 224, disk));  // no extent
    const uint32_t count = 1, number = 3;
    std::memcpy(extents, &count, 4);
    std::memcpy(extents + 8, &number, 4);
    EXPECT_FALSE(diskNumberFromExtents(extents, 11, disk));  // the number lies past the answer
    EXPECT_EQ(disk, 77u);
    EXPECT_TRUE(diskNumberFromExtents(extents, 32, disk));
    EXPECT_EQ(disk, 3u);
}

}  // namespace
}  // namespace fan
