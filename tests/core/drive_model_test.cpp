// The drive model from sysfs, on fake sysfs trees, and the text rules it
// shares with every platform.
#include <gtest/gtest.h>

#include "core/drive_model_linux.h"
#include "core/drive_model_text.h"
#include "core/mount_table_linux.h"
#include "tests/core/mount_test_support.h"

namespace fan {
namespace {

// A sysfs look-alike: dev/block/MAJ:MIN links into devices/, where partitions
// sit inside their disk's folder, as the kernel lays it out.
class FakeSysfs {
public:
    // A disk folder with the given device attributes; null leaves one out.
    void disk(const std::string& name, const char* vendor, const char* model, const char* rev = nullptr) {
        dir_.write("devices/pci0/block/" + name + "/dev", "\n");
        if (vendor) attribute(name, "vendor", vendor);
        if (model) attribute(name, "model", model);
        if (rev) attribute(name, "rev", rev);
    }
    void attribute(const std::string& diskName, const std::string& name, const std::string& text) {
        dir_.write("devices/pci0/block/" + diskName + "/device/" + name, text);
    }
    void partition(const std::string& diskName, const std::string& name) {
        dir_.write("devices/pci0/block/" + diskName + "/" + name + "/partition", "1\n");
    }
    // A device without a device/ folder, as device-mapper and loop devices are.
    void virtualDisk(const std::string& name) { dir_.write("devices/virtual/block/" + name + "/dev", "\n"); }
    void link(const std::string& number, const std::string& target) {
        std::filesystem::create_directories(dir_.root() / "dev/block");
        std::filesystem::create_directory_symlink("../../" + target, dir_.root() / "dev/block" / number);
    }
    const std::filesystem::path& root() const { return dir_.root(); }

private:
    testing::TempTree dir_;
};

TEST(DriveModelText, TrimsOnlyTheFourBlanks) {
    EXPECT_EQ(trimDriveText(" \t\r\nSamsung SSD 860  \n"), "Samsung SSD 860");
    EXPECT_EQ(trimDriveText("    "), "");
    EXPECT_EQ(trimDriveText(""), "");
    EXPECT_EQ(trimDriveText("\vX\f"), "\vX\f");
}

TEST(DriveModelLinux, ReadsTheDiskOfADeviceNumber) {
    FakeSysfs sys;
    sys.disk("sda", "ATA     \n", "Samsung SSD 860 \n", "1B6Q\n");
    sys.partition("sda", "sda1");
    sys.disk("nvme0n1", nullptr, "WD Blue SN570\n");
    sys.partition("nvme0n1", "nvme0n1p2");
    sys.disk("sdb", "   \n", "USB Stick\n");
    sys.disk("sdc", "Generic\n", nullptr);
    sys.disk("sdd", nullptr, nullptr, "0.01\n");
    sys.disk("sde", nullptr, nullptr);
    sys.disk("sdf", nullptr, "Mod\n");
    sys.attribute("sdf", "vendor", std::string("Ven\0junk", 8));
    sys.virtualDisk("dm-0");
    sys.link("8:0", "devices/pci0/block/sda");
    sys.link("8:1", "devices/pci0/block/sda/sda1");
    sys.link("259:2", "devices/pci0/block/nvme0n1/nvme0n1p2");
    sys.link("8:16", "devices/pci0/block/sdb");
    sys.link("8:32", "devices/pci0/block/sdc");
    sys.link("8:48", "devices/pci0/block/sdd");
    sys.link("8:64", "devices/pci0/block/sde");
    sys.link("8:80", "devices/pci0/block/sdf");
    sys.link("254:0", "devices/virtual/block/dm-0");

    struct Case {
        const char* device;
        const char* model;
        const char* disk;
    };
    const Case cases[] = {
        {"8:0", "ATA Samsung SSD 860", "sda"},
        {"8:1", "ATA Samsung SSD 860", "sda"},  // partition: its disk answers
        {"259:2", "WD Blue SN570", "nvme0n1"},  // no vendor file
        {"8:16", "USB Stick", "sdb"},           // blank vendor counts as none
        {"8:32", "Generic", "sdc"},             // no model file
        {"8:48", "0.01", "sdd"},                // only a revision
        {"8:64", "", "sde"},                    // nothing at all
        {"8:80", "Ven Mod", "sdf"},             // text ends at a NUL
        {"254:0", "", "dm-0"},                  // no device folder
    };
    for (const Case& c : cases) {
        std::string disk;
        EXPECT_EQ(queryPhysicalDriveModel(c.device, disk, sys.root()), c.model) << c.device;
        EXPECT_EQ(disk, c.disk) << c.device;
    }
}

TEST(DriveModelLinux, FailsQuietlyAndLeavesTheDiskName) {
    FakeSysfs sys;
    sys.disk("sda", "ATA", "Disk");
    sys.link("8:0", "devices/pci0/block/sda");
    sys.link("8:99", "devices/pci0/block/gone");
    for (const char* device : {"8:5", "8:99", "0:21", "", "8", "8:", ":0", "../../devices/pci0/block/sda", "8:0/.."}) {
        std::string disk = "untouched";
        EXPECT_EQ(queryPhysicalDriveModel(device, disk, sys.root()), "") << device;
        EXPECT_EQ(disk, "untouched") << device;
    }
    std::string disk;
    EXPECT_EQ(queryPhysicalDriveModel("8:0", disk, sys.root() / "missing"), "");
}

TEST(DriveModelLinux, ListMountsFillsTheModelButKeepsTheDeviceNumber) {
    FakeSysfs sys;
    sys.disk("sda", "ATA", "Disk One");
    sys.partition("sda", "sda1");
    sys.link("8:1", "devices/pci0/block/sda/sda1");
    testing::FixedMountSources fixed(SpaceFigures{100, 50, 40});
    fixed.sources.sysRoot = sys.root();
    fixed.mountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:1 /home /home rw - ext4 /dev/sda1 rw\n"
        "3 1 0:30 / /tmp rw - tmpfs tmpfs rw\n"
        "4 1 8:1 / /mnt/nas rw - nfs4 nas:/x rw\n");  // a network mount gets no model
    bool tableRead = false;
    const auto mounts = listMounts(fixed.sources, tableRead);
    ASSERT_EQ(mounts.size(), 4u);
    EXPECT_EQ(mounts[0].model, "ATA Disk One");
    EXPECT_EQ(mounts[0].device, "8:1");
    EXPECT_EQ(mounts[1].model, "ATA Disk One");
    EXPECT_EQ(mounts[2].model, "");
    EXPECT_EQ(mounts[2].device, "0:30");
    EXPECT_EQ(mounts[3].model, "");
    EXPECT_EQ(mounts[3].source, "nas:/x");
}

}  // namespace
}  // namespace fan
