#include "shell/local_volume_linux.h"

#include <fstream>
#include <system_error>

#include "shell/shell_actions.h"
#include "shell/shell_calls_linux.h"
#include "core/file_system_kind.h"
#include "core/mount_info.h"

namespace fan {

std::optional<std::vector<MountEntry>> readMountTable() {
    std::ifstream in(shellCalls.mountTable);
    if (!in) return std::nullopt;
    std::vector<MountEntry> mounts = parseMountInfo(in);
    if (in.bad() || mounts.empty()) return std::nullopt;
    return mounts;
}

bool isLocalMount(const MountEntry& mount) {
    const std::string& type = mount.fsType;
    if (mount.pseudo || type.empty() || isNetworkFileSystem(type) || type == "iso9660" || type == "udf") return false;
    if (type == "tmpfs") return true;
    // Btrfs and ZFS give their mounts anonymous device numbers (major 0)
    // although disks hold them; btrfs still names its disk as the source.
    if (type == "zfs" || mount.source.rfind("/dev/", 0) == 0) return true;
    const size_t colon = mount.device.find(':');
    if (colon == 0 || colon == std::string::npos) return false;
    const std::string major = mount.device.substr(0, colon);
    return major.find_first_not_of('0') != std::string::npos &&
           major.find_first_not_of("0123456789") == std::string::npos;
}

std::filesystem::path itemLocation(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) absolute = path;
    absolute = absolute.lexically_normal();
    if (!absolute.has_filename() && absolute.has_relative_path()) absolute = absolute.parent_path();
    const std::filesystem::path name = absolute.filename();
    if (name.empty() || name == "." || name == "..") return absolute;
    const std::filesystem::path parent = std::filesystem::canonical(absolute.parent_path(), ec);
    return ec ? absolute : parent / name;
}

bool isLocalVolume(const std::filesystem::path& path) {
    const std::vector<MountEntry> mounts = readMountTable().value_or(std::vector<MountEntry>{});
    const int index = findMountForPath(mounts, itemLocation(path).string());
    return index >= 0 && isLocalMount(mounts[size_t(index)]);
}

}  // namespace fan
