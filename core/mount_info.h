// Reading the kernel's mount table (the text of /proc/self/mountinfo) into
// MountEntry records, finding the mount that holds a path, and describing a
// mount in one line. Pure text functions: no state, any thread.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

// The visible mounts of a mountinfo text, in the order of their lines. Reads
// `in` to its end. Malformed lines are skipped; an unreadable or empty stream
// gives an empty list. Mounts hidden under another mount at the same place,
// and everything below a hidden mount, are dropped; pseudo file systems are
// kept and flagged. model and the space fields stay empty.
std::vector<MountEntry> parseMountInfo(std::istream& in);

// Decodes the kernel's three-digit octal escapes (\040 is a space); every
// other byte, a backslash that starts no escape included, is kept.
std::string unescapeMountField(const std::string& field);

// Index of the entry with the longest mount point that contains the
// '/'-separated `path` (the first of equally long ones), or -1. Textual: the
// path is not normalised.
int findMountForPath(const std::vector<MountEntry>& mounts, const std::string& path);

// One line for menus and tooltips: the mount point, the source when it says
// more than the mount point, the type and the drive model.
std::string describeMountEntry(const MountEntry& entry);

}  // namespace fan
