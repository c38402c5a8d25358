// The items of the toolbar's file-systems menu, built from the volume table.
//
// Called on the GUI thread by App::refreshFileSystems. Reads uiLanguage (the
// network kind "network" is a word of the interface). Never fails: an entry
// that says nothing gives an empty item with an empty path.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

// One item after the menu's header: the text shown and the mount point it
// scans (the entry's bytes, unconverted).
struct FileSystemItem {
    std::string label;
    std::string mountPoint;
};

// Labels longer than this many characters are cut and end in an ellipsis.
inline constexpr size_t kFileSystemLabelLimit = 52;

// One item per entry that is not a pseudo file system, in table order.
std::vector<FileSystemItem> fileSystemItems(const std::vector<MountEntry>& mounts);

// Mount point, file-system type and origin, joined by " · ", as displayText
// shows them, cut to the limit.
std::string fileSystemLabel(const MountEntry& entry);

// `text` whole when it has at most `limit` characters, else its first
// `limit` characters and "…". A character is counted by its UTF-8 lead
// byte (two, three or four bytes), any other byte as one, so bytes that
// are not UTF-8 are never split from what follows them unevenly.
std::string cutToCharacters(const std::string& text, size_t limit);

// `text` escaped so that a menu draws it as it stands: the toolkit reads '&'
// as a shortcut mark and '@' as the start of a symbol; both are doubled.
std::string menuLiteral(const std::string& text);

}  // namespace fan
