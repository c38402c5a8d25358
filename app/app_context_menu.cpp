// The map's context menu and the two Trash buttons: the App's side of the
// shell actions, with their confirmations and failure reports.
#include <FL/Fl.H>

#include <string>
#include <utility>
#include <vector>

#include "app/action_error.h"
#include "app/app.h"
#include "app/context_menu_items.h"
#include "core/path_text.h"
#include "shell/shell_actions.h"
#include "texts/display_text.h"
#include "texts/ui_texts.h"
#include "ui/modal_window.h"
#include "ui/modern_dialog.h"
#include "ui/palette.h"
#include "ui/rounded_popup_menu.h"

namespace fan {

namespace {

constexpr int kMenuWidth = 320;
constexpr int kMenuCornerDiameter = 26;

// Runs the popup at the pointer and returns the id of the row chosen, or
// RoundedPopupMenu::kNoChoice.
uint32_t runPopupMenu(std::vector<ContextMenuItem> items) {
    const int height = popupMenuHeight(items);
    RoundedPopupMenu menu(kMenuWidth, height, std::move(items));
    menu.clear_border();
    menu.color(themeSurface);
    // Where the pointer is, even near a screen edge: the menu is not moved
    // back onto the screen.
    menu.position(Fl::event_x_root(), Fl::event_y_root());
    runModalWindow(menu, kMenuCornerDiameter);
    return menu.chosenId;
}

}  // namespace

void App::showContextMenu(uint64_t node) {
    if (scanning || result == nullptr || node == kNoNode || node >= result->nodes.size()) return;
    const std::filesystem::path path = result->nodePath(node);
    const bool mountPoint = result->nodes[node].mountIndex != kNoNode;
    const bool folder = result->nodes[node].isFolder;
    std::vector<ContextMenuItem> items = contextMenuItems(*result, node, currentNode);
    const bool trashable = items[menuMoveToTrash].enabled;

    switch (runPopupMenu(std::move(items))) {
        case menuShowInFileManager:
            showActionError(this, showInFileManager(path, true));
            break;
        case menuCopyPath: {
            // The path's own text, so that pasting it names the same file.
            const std::string text = pathText(path);
            Fl::copy(text.c_str(), int(text.size()), 1, Fl::clipboard_plain_text);
            // Shown until the status line is next rebuilt.
            statusText = uiText(txtPathCopied);
            redraw();
            break;
        }
        case menuOpenTerminal:
            showActionError(this, openTerminal(path));
            break;
        case menuRescan:
            if (mountPoint)
                openNode(node, true);
            else if (folder)
                start(path, false);
            break;
        case menuMoveToTrash: {
            if (!trashable) break;
            const int answer =
                showConfirmDialog(this, uiText(txtMoveToTrashTitle), uiText(txtMoveToTrashQuestion),
                                  displayText(pathText(path)), uiText(txtMoveToTrash), uiText(txtCancel));
            if (answer != 1) break;
            // Taken before the move: the folder being viewed is the one scanned afresh.
            const std::filesystem::path viewed = result->nodePath(currentNode);
            const ShellActionResult moved = moveToRecycleBin(path);
            if (moved.ok)
                start(viewed, false);
            else
                showActionError(this, moved);
            break;
        }
        default:
            break;
    }
}

void App::onEmptyTrash(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (app.scanning) return;
    const int answer =
        showConfirmDialog(&app, settingsText(stxtEmptyTrashTitle), settingsText(stxtEmptyTrashQuestion),
                          settingsText(stxtEmptyTrashTooltip), settingsText(stxtEmptyButton), uiText(txtCancel));
    if (answer != 1) return;
    const ShellActionResult emptied = emptyRecycleBin();
    if (!emptied.ok) {
        showActionError(&app, emptied);
        return;
    }
    app.statusText = settingsText(stxtTrashEmptied);
    app.redraw();
}

void App::onOpenTrash(Fl_Widget*, void* data) {
    // Also while a scan runs: nothing here touches the scan.
    showActionError(static_cast<App*>(data), openRecycleBin());
}

}  // namespace fan
