// Words for a mounted file system: what kind of network volume it is and the
// one-line description shown under the current path and beside mount points.
//
// Both functions are pure apart from reading uiLanguage at each call, so a
// language switch shows at the next redraw. GUI thread only (uiLanguage is not
// synchronised). Neither fails: missing facts leave their part out.
#pragma once

#include <string>

#include "core/mount_entry.h"

namespace fan {

// The network kind (WebDAV, RDP, WSL, NFS, SSHFS, SMB, or "network" in the
// interface language), one blank and the host as the source spells it, e.g.
// "SMB server" for "//server/share". Empty when the source names no network
// host: drive letters, device paths and plain names never do. On Linux the
// source of a network mount (nfs, cifs, sshfs, davfs) is its remote name.
std::string networkSourceLabel(const MountEntry& entry);

// File system, origin (network label, drive model, disk or source) and free
// space, joined by a middle dot between wide gaps; never empty, since the
// space part is always there ("Free space unavailable" when unknown).
std::string describeVolume(const MountEntry& entry);

}  // namespace fan
