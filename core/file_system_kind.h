// What a Linux file-system type name says about the mount: network or local,
// and whether asking it for its space may hang.
#pragma once

#include <string>

#include "core/mount_entry.h"

namespace fan {

// nfs*, cifs, smb3, smbfs, *sshfs, davfs: a file system served over the
// network, whose mount source names the share.
bool isNetworkFileSystem(const std::string& fsType);

// Whether a space query on this type may block without end: the network file
// systems, every FUSE file system (its server is just another process), and
// autofs, whose query can set off a network automount.
bool spaceQueryMayBlock(const std::string& fsType);

// The same for one mount, erring towards the time limit: only a local file
// system known not to hang (block-backed, memory-backed or pseudo) is asked
// directly. Anything else, an unknown or unlisted type included (ceph, 9p,
// afs and the like are served over the network too), may block.
bool spaceQueryMayBlock(const MountEntry& mount);

}  // namespace fan
