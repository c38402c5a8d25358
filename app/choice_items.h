// Relabelling a choice for another language without losing what is selected.
#pragma once

#include <initializer_list>

class Fl_Choice;

namespace fan {

// Replaces the items of `choice` with `items`, in order, and selects the
// index it had before, clamped to the new items (an empty choice counts as
// index 0). The texts are added in one joined call, so none may hold a
// character the menu reads as structure ('|', '/', '\\', '&', '_'); the
// interface's own texts never do. GUI thread only.
void relabelChoice(Fl_Choice& choice, std::initializer_list<const char*> items);

}  // namespace fan
