// Controls that are built, placed and styled but do nothing yet: the
// language flags, the settings window, the Recycle Bin buttons and the
// context menu. Each moves to a file of its own when it gets its action.
#include "app/app.h"

namespace fan {

void App::onRussianFlag(Fl_Widget*, void*) {}
void App::onEnglishFlag(Fl_Widget*, void*) {}
void App::showSettings(Fl_Widget*, void*) {}

}  // namespace fan
