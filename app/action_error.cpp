// The failure dialog shared by the context menu and the Trash buttons.
#include "app/action_error.h"

#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"

namespace fan {

void showActionError(Fl_Window* owner, const ShellActionResult& result) {
    if (result.ok) return;
    showMessageDialog(owner, uiText(txtActionFailed), result.message, std::string());
}

}  // namespace fan
