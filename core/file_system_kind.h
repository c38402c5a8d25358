// What a Linux file-system type name says about the mount: network or local,
// and whether asking it for its space may hang.
#pragma once

#include <string>

#include "core/mount_entry.h"

namespace fan {

// nfs*, cifs, smb3, smbfs, *sshfs, davfs: a file system served over the
// network, whose mount source names the share.
bool isNetworkFileSystem(const std::string& fsType);

// Whether a space query on this mount may block without end, erring towards
// the time limit: only a local file system known not to hang (block-backed,
// memory-backed or pseudo) is asked directly. The network file systems, every
// FUSE file system (its server is just another process), autofs (whose query
// can set off a network automount) and anything unknown or unlisted (ceph,
// 9p, afs and the like are served over the network too) may block. The one
// rule of every space query: the volume table's and the scan's alike.
bool spaceQueryMayBlock(const MountEntry& mount);

}  // namespace fan
