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
// sit inside their disk's folder, as the kernel lays it out. A disk is given
// as its device attributes; null leaves one out.
class FakeSysfs {
public:
    void disk(const std::string& number, const std::string& name, const char* vendor, const char* model,
              const char* rev = nullptr) {
        dir_.write(folder(name) + "/dev", "\n");
        const std::pair<const char*, const char*> attributes[] = {{"vendor", vendor}, {"model", model}, {"rev", rev}};
        for (const auto& [file, text] : attributes)
            if (text) dir_.write(folder(name) + "/device/" + file, text);
        link(number, folder(name));
    }
    void partition(const std::string& number, const std::string& diskName, const std::string& name) {
        dir_.write(folder(diskName) + "/" + name + "/partition", "1\n");
        link(number, folder(diskName) + "/" + name);
    }
    void link(const std::string& number, const std::string& target) {
        std::filesystem::create_directories(dir_.root() / "dev/block");
        std::filesystem::create_directory_symlink("../../" + target, dir_.root() / "dev/block" / number);
    }
    testing::TempTree dir_;

private:
    static std::string folder(const std::string& name) { return "devices/pci0/block/" + name; }
};

TEST(DriveModelText, TrimsOnlyTheFourBlanks) {
    EXPECT_EQ(trimDriveText(" \t\r\nSamsung SSD 860  \n"), "Samsung SSD 860");
    EXPECT_EQ(trimDriveText("    "), "");
    EXPECT_EQ(trimDriveText("\vX\f"), "\vX\f");
}

TEST(DriveModelLinux, ReadsTheDiskOfADeviceNumber) {
    FakeSysfs sys;
    sys.disk("8:0", "sda", "ATA     \n", "Samsung SSD 860 \n", "1B6Q\n");
    sys.partition("8:1", "sda", "sda1");
    sys.disk("259:0", "nvme0n1", nullptr, "WD Blue SN570\n");
    sys.partition("259:2", "nvme0n1", "nvme0n1p2");
    sys.disk("8:16", "sdb", "   \n", "USB Stick\n");
    sys.disk("8:32", "sdc", "Generic\n", nullptr);
    sys.disk("8:48", "sdd", nullptr, nullptr, "0.01\n");
    sys.disk("8:64", "sde", nullptr, nullptr);
    sys.disk("8:80", "sdf", nullptr, "Mod\n");
    sys.dir_.write("devices/pci0/block/sdf/device/vendor", std::string("Ven\0junk", 8));
    sys.disk("252:0", "vda", "0x1af4\n", nullptr);
    sys.disk("252:16", "vdb", "0x1AF4\n", "QEMU disk\n");
    sys.disk("8:96", "sdg", "0xcafe Inc\n", "Disk\n");
    sys.dir_.write("devices/virtual/block/dm-0/dev", "\n");
    sys.link("254:0", "devices/virtual/block/dm-0");
    sys.link("8:99", "devices/pci0/block/gone");
    const struct { const char *device, *model, *disk; } cases[] = {
        {"8:0", "ATA Samsung SSD 860", "sda"},   {"8:1", "ATA Samsung SSD 860", "sda"},  // a partition: its disk
        {"259:2", "WD Blue SN570", "nvme0n1"},   {"8:16", "USB Stick", "sdb"},           // no or blank vendor
        {"8:32", "Generic", "sdc"},              {"8:48", "0.01", "sdd"},                // no model; only a revision
        {"8:64", "", "sde"},                     {"8:80", "Ven Mod", "sdf"},             // text ends at a NUL
        {"252:0", "", "vda"},                    {"252:16", "QEMU disk", "vdb"},         // a bus id is no vendor
        {"8:96", "0xcafe Inc Disk", "sdg"},      {"254:0", "", "dm-0"},                  // no device folder
    };
    auto query = [&](const std::string& device) {
        std::string disk = "untouched";
        return queryPhysicalDriveModel(device, disk, sys.dir_.root()) + "|" + disk;
    };
    for (const auto& c : cases) EXPECT_EQ(query(c.device), c.model + std::string("|") + c.disk);
    for (const char* device : {"8:5", "8:99", "0:21", "", "8", "8:", ":0", "../../devices/pci0/block/sda", "8:0/.."})
        EXPECT_EQ(query(device), "|untouched") << device;
}

TEST(DriveModelLinux, ListMountsFillsTheModelButKeepsTheDeviceNumber) {
    FakeSysfs sys;
    sys.disk("8:0", "sda", "ATA", "Disk One");
    sys.partition("8:1", "sda", "sda1");
    testing::FixedMountSources fixed(SpaceFigures{100, 50, 40});
    fixed.sources.sysRoot = sys.dir_.root();
    fixed.mountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:1 /home /home rw - ext4 /dev/sda1 rw\n"
        "3 1 0:30 / /tmp rw - tmpfs tmpfs rw\n"
        "4 1 8:1 / /mnt/nas rw - nfs4 nas:/x rw\n");  // a network mount gets no model
    bool tableRead = false;
    const auto mounts = listMounts(fixed.sources, tableRead);
    ASSERT_EQ(mounts.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(mounts[i].model, i < 2 ? "ATA Disk One" : "") << mounts[i].mountPoint;
    EXPECT_EQ(mounts[0].device, "8:1");
}

}  // namespace
}  // namespace fan
