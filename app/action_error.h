// The "Action failed" report of a shell action that did not work.
#pragma once

#include "shell/shell_actions.h"

class Fl_Window;

namespace fan {

// Shows the message dialog over `owner` (may be null) with the title "Action
// failed" in the current language, the result's English message and no
// detail, and returns when it is closed. Shows nothing for a result that is
// ok. GUI thread only.
void showActionError(Fl_Window* owner, const ShellActionResult& result);

}  // namespace fan
