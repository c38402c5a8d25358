// What a Linux file-system type name says about the mount: network or local,
// and whether asking it for its space may hang.
#pragma once

#include <string>

namespace fan {

// nfs*, cifs, smb3, smbfs, *sshfs, davfs: a file system served over the
// network, whose mount source names the share.
bool isNetworkFileSystem(const std::string& fsType);

// Whether a space query on this type may block without end: the network file
// systems, every FUSE file system (its server is just another process), and
// autofs, whose query can set off a network automount.
bool spaceQueryMayBlock(const std::string& fsType);

}  // namespace fan
