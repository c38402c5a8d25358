#include "core/file_system_kind.h"

namespace fan {
namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool isNetworkFileSystem(const std::string& fsType) {
    // nfsd is the local control file system of the NFS server, not a share.
    return (startsWith(fsType, "nfs") && fsType != "nfsd") || fsType == "cifs" || fsType == "smb3" ||
           fsType == "smbfs" || endsWith(fsType, "sshfs") || startsWith(fsType, "davfs");
}

bool spaceQueryMayBlock(const MountEntry& mount) {
    const std::string& type = mount.fsType;
    if (type.empty() || isNetworkFileSystem(type) || type == "fuse" || type == "fuseblk" || startsWith(type, "fuse.") ||
        type == "autofs")
        return true;
    if (mount.pseudo || type == "tmpfs" || type == "ramfs" || type == "devtmpfs") return false;
    // Block-backed file systems have a real device number; network and other
    // virtual ones get an anonymous one with major 0.
    const std::string& device = mount.device;
    const size_t colon = device.find(':');
    if (colon == 0 || colon == std::string::npos) return true;
    for (size_t i = 0; i < colon; ++i)
        if (device[i] < '0' || device[i] > '9') return true;
    return device.find_first_not_of('0', 0) >= colon;
}

}  // namespace fan
