// What the context menu offers for a node.
#include "app/context_menu_items.h"

#include "shell/shell_actions.h"
#include "texts/ui_texts.h"

namespace fan {

std::vector<ContextMenuItem> contextMenuItems(const Tree& tree, uint64_t node, uint64_t currentNode) {
    const ScanNode& target = tree.nodes[node];
    const bool mountPoint = target.mountIndex != kNoNode;
    // The volume query touches the file system; the cheap rules go first.
    const bool trashable = node != currentNode && !mountPoint && isLocalVolume(tree.nodePath(node));
    return {
        {uiText(txtShowInFileManager), menuShowInFileManager, true, false},
        {uiText(txtCopyPath), menuCopyPath, true, false},
        {uiText(txtOpenTerminal), menuOpenTerminal, true, false},
        {uiText(mountPoint ? txtScanSeparately : txtRescan), menuRescan, target.isFolder || mountPoint, true},
        {uiText(txtMoveToTrash), menuMoveToTrash, trashable, true},
    };
}

int popupMenuHeight(const std::vector<ContextMenuItem>& items) {
    int height = 28;
    for (const ContextMenuItem& item : items)
        height += item.separatorBefore ? 54 : 42;
    return height;
}

}  // namespace fan
