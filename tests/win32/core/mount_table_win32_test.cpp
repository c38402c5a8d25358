// The Windows volume table on Wine's drives, and the drive model parsed
// from crafted answers (Wine has no physical disks to ask).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "core/drive_model_win32.h"
#include "core/mount_entry.h"

namespace fan {
namespace {

TEST(Win32VolumeTable, EachDriveLetterOnceInOrderWithItsSpace) {
    const std::vector<MountEntry> mounts = listMounts();
    ASSERT_FALSE(mounts.empty());
    EXPECT_EQ(mounts[0].mountPoint, "C:\\");
    for (size_t i = 1; i < mounts.size(); ++i) {
        EXPECT_EQ(mounts[i].mountPoint.substr(1), ":\\");
        EXPECT_LT(mounts[i - 1].mountPoint, mounts[i].mountPoint);
    }
    EXPECT_FALSE(mounts[0].fsType.empty());
    EXPECT_TRUE(mounts[0].spaceKnown);
}

// Vendor and product at the offsets held at bytes 12 and 16 of the answer.
TEST(Win32DriveQueries, TheModelIsReadOnlyInsideTheReturnedBytes) {
    const struct {
        const char* name;
        uint32_t at[2];
        size_t returned;
        const char* model;
    } rows[] = {
        {"a text cut by the end", {40, 96}, 98, "ACME Di"},
        {"the offsets themselves beyond", {40, 60}, 14, ""},
        {"more claimed than the buffer", {40, 1020}, 5000, "ACME Disk"},
    };
    const char* texts[2] = {"ACME", "Disk"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        unsigned char bytes[1024] = {};
        for (int k = 0; k < 2; ++k) {
            std::memcpy(bytes + 12 + 4 * k, &row.at[k], 4);
            std::memcpy(bytes + row.at[k], texts[k], std::strlen(texts[k]));
        }
        EXPECT_EQ(modelFromDeviceDescriptor(bytes, row.returned), row.model);
    }
}

}  // namespace
}  // namespace fan
