// The model of the physical disk under a Linux block device, read from sysfs.
#pragma once

#include <filesystem>
#include <string>

namespace fan {

// The model text of the disk that holds the block device `deviceNumber`
// ("major:minor" as the mount table gives it): from a partition up to its
// disk, then vendor and model (or the revision) from the disk's device/
// folder, trimmed and composed as on every platform; a vendor that is only a
// hexadecimal bus id (virtio's 0x1af4) counts as none. Empty on every failure.
// `diskName` receives the disk's kernel name (sda, nvme0n1) once the disk is
// found and is left alone otherwise. `sysRoot` is where sysfs is mounted;
// tests point it at a tree of their own. Reads files only; any thread.
std::string queryPhysicalDriveModel(const std::string& deviceNumber, std::string& diskName,
                                    const std::filesystem::path& sysRoot = "/sys");

}  // namespace fan
