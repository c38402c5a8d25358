#include "core/file_system_kind.h"

namespace fan {
namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool isNetworkFileSystem(const std::string& fsType) {
    // nfsd is the local control file system of the NFS server, not a share.
    return (startsWith(fsType, "nfs") && fsType != "nfsd") || fsType == "cifs" || fsType == "smb3" || fsType == "smbfs" ||
           endsWith(fsType, "sshfs") || startsWith(fsType, "davfs");
}

bool spaceQueryMayBlock(const std::string& fsType) {
    return isNetworkFileSystem(fsType) || fsType == "fuse" || fsType == "fuseblk" || startsWith(fsType, "fuse.") ||
           fsType == "autofs";
}

}  // namespace fan
