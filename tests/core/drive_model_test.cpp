// The drive model from sysfs, on fake sysfs trees.
#include <gtest/gtest.h>

#include "core/drive_model_linux.h"
#include "tests/core/temp_tree.h"

namespace fan {
namespace {

// A sysfs look-alike: dev/block/MAJ:MIN links into devices/, where partitions sit inside their disk's
// folder, as the kernel lays it out. A disk is given as its device attributes; null leaves one out.
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

TEST(DriveModelLinux, ReadsTheDiskOfADeviceNumber) {
    FakeSysfs sys;
    std::string disk;
    auto model = [&](const std::string& device) {
        disk = "untouched";
        return queryPhysicalDriveModel(device, disk, sys.dir_.root());
    };
    // Disks by their vendor, model and revision attributes (null: none),
    // and the model read back.
    const struct {
        const char *device, *name, *vendor, *model, *rev, *read;
    } disks[] = {
        {"8:0", "sda", "ATA     \n", "Samsung SSD 860 \n", "1B6Q\n", "ATA Samsung SSD 860"},
        {"252:0", "vda", "0x1af4\n", nullptr, nullptr, ""},  // a bus id is no vendor
    };
    for (const auto& d : disks)
        sys.disk(d.device, d.name, d.vendor, d.model, d.rev);
    for (const auto& d : disks) {
        SCOPED_TRACE(d.device);
        EXPECT_EQ(model(d.device), d.read);
        EXPECT_EQ(disk, d.name);
    }
    sys.partition("8:1", "sda", "sda1");  // a partition: its disk
    EXPECT_EQ(model("8:1"), "ATA Samsung SSD 860");
    EXPECT_EQ(disk, "sda");
    sys.link("8:99", "devices/pci0/block/gone");
    for (const char* device : {"8:5", "8:99", "8:", "../../devices/pci0/block/sda", "8:0/.."}) {
        EXPECT_EQ(model(device), "") << device;
        EXPECT_EQ(disk, "untouched") << device;
    }
}

}  // namespace
}  // namespace fan
