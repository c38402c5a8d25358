// The Windows volume table on Wine's drives, and the drive queries' answers
// parsed from crafted buffers. Wine has no physical disks or mapped shares
// to ask, so those queries are checked on their failure paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "core/drive_model_win32.h"
#include "core/mount_entry.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

void expectSaneSpace(const MountEntry& m) {
    EXPECT_TRUE(m.spaceKnown) << m.mountPoint;
    EXPECT_GT(m.totalBytes, 0u) << m.mountPoint;
    EXPECT_LE(m.freeBytes, m.totalBytes) << m.mountPoint;
    EXPECT_LE(m.availableBytes, m.freeBytes) << m.mountPoint;
}

TEST(Win32VolumeTable, DriveLettersInOrderAndTheEntryOfAPath) {
    const std::vector<MountEntry> mounts = listMounts();
    const MountEntry* c = nullptr;
    for (size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts[i];
        EXPECT_EQ(m.mountPoint.substr(1), ":\\");
        if (i > 0) {
            EXPECT_LT(mounts[i - 1].mountPoint, m.mountPoint);
        }
        EXPECT_EQ(m.source.compare(0, 3, m.mountPoint), 0) << m.source;
        if (m.mountPoint == "C:\\") c = &m;
    }
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->fsType.empty());
    expectSaneSpace(*c);

    // A listed volume keeps its description; the file system and the space
    // are asked anew, the space at the path itself.
    testing::Win32TempTree temp;
    MountEntry listed{"C:\\", "C:\\ Labelled", "stale", "PhysicalDrive9", "", "ACME Disk"};
    const MountEntry entry = mountEntryForPath(temp.root(), {listed});
    EXPECT_EQ(entry.source, "C:\\ Labelled");
    EXPECT_EQ(entry.model, "ACME Disk");
    EXPECT_EQ(entry.fsType, c->fsType);
    expectSaneSpace(entry);
    refreshMountSpace(listed, temp.join(L"no\\such\\folder"));
    EXPECT_FALSE(listed.spaceKnown);
}

TEST(Win32DriveQueries, FailuresGiveEmptyTexts) {
    std::string device = "untouched";
    EXPECT_EQ(queryPhysicalDriveModel(L"C:\\no-such-folder", device), "");
    EXPECT_EQ(device, "untouched");
    for (const char* point : {"C:\\", "x", "", "\\\\server\\share\\"})
        EXPECT_EQ(queryNetworkRemoteName(point), "");
}

TEST(Win32DriveQueries, AnswersAreReadOnlyInsideTheReturnedBytes) {
    // Texts at the offsets held at bytes 12, 16 and 20 of the descriptor.
    const struct {
        uint32_t at[3];
        const char* text[3];
        size_t returned;
        const char* model;
    } cases[] = {
        {{40, 60, 80}, {" \tACME\r\n", "Disk ", "1.0"}, 100, "ACME Disk"},
        {{0, 0, 80}, {"", "", " 1.0"}, 100, "1.0"},
        {{40, 100, 80}, {"ACME", "Disk", "1.0"}, 100, "ACME"},         // an offset at the end
        {{40, 96, 80}, {"ACME", "Disk", "1.0"}, 98, "ACME Di"},        // a text cut by the end
        {{40, 60, 80}, {"ACME", "Disk", "1.0"}, 14, ""},               // the offsets themselves beyond
        {{40, 1020, 80}, {"ACME", "Disk", "1.0"}, 5000, "ACME Disk"},  // more claimed than the buffer
    };
    for (const auto& c : cases) {
        unsigned char bytes[1024] = {};
        for (int k = 0; k < 3; ++k) {
            std::memcpy(bytes + 12 + 4 * k, &c.at[k], 4);
            if (c.at[k] + std::strlen(c.text[k]) <= sizeof bytes)
                std::memcpy(bytes + c.at[k], c.text[k], std::strlen(c.text[k]));
        }
        EXPECT_EQ(modelFromDeviceDescriptor(bytes, c.returned), c.model) << &c - cases;
    }

    unsigned char extents[224] = {1, 0, 0, 0, 0, 0, 0, 0, 3};  // one extent, on disk 3
    uint32_t disk = 77;
    EXPECT_FALSE(diskNumberFromExtents(extents, 11, disk));  // the number lies past the answer
    EXPECT_TRUE(diskNumberFromExtents(extents, 32, disk));
    EXPECT_EQ(disk, 3u);
    extents[0] = 0;
    EXPECT_FALSE(diskNumberFromExtents(extents, 224, disk));
}

}  // namespace
}  // namespace fan
