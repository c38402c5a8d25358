// The rows of the map's context menu for one node, and the menu's height.
#pragma once

#include <cstdint>
#include <vector>

#include "core/tree.h"
#include "ui/rounded_popup_menu.h"

namespace fan {

// The ids the rows report; App::showContextMenu acts on them.
enum ContextMenuId : uint32_t {
    menuShowInFileManager = 0,
    menuCopyPath = 1,
    menuOpenTerminal = 2,
    menuRescan = 3,  // "Scan separately" on another file system's mount point
    menuMoveToTrash = 4,
};

// The five rows for `node` of `tree` (a valid index) while `currentNode` is
// the folder shown, labelled in the current uiLanguage. Rescan needs a
// folder or a mount point; Move to Trash needs an ordinary node other than
// the current one on a local volume, which is asked of the file system only
// when the rest holds. GUI thread (it reads uiLanguage).
std::vector<ContextMenuItem> contextMenuItems(const Tree& tree, uint64_t node, uint64_t currentNode);

// The popup's height for `items`: 28 + 42 per row + 12 per separator, which
// leaves 14 pixels above the first row and 18 below the last.
int popupMenuHeight(const std::vector<ContextMenuItem>& items);

}  // namespace fan
