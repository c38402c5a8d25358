// Controls that are built, placed and styled but do nothing yet: the
// Recycle Bin buttons and the context menu. Each moves to a file of its own
// when it gets its action.
#include "app/app.h"

namespace fan {

void App::onEmptyTrash(Fl_Widget*, void*) {}
void App::onOpenTrash(Fl_Widget*, void*) {}
void App::showContextMenu(uint64_t) {}

}  // namespace fan
