// Relabelling a choice in place.
#include "app/choice_items.h"

#include <FL/Fl_Choice.H>

#include <algorithm>
#include <string>

namespace fan {

void relabelChoice(Fl_Choice& choice, std::initializer_list<const char*> items) {
    const int selected = std::max(choice.value(), 0);
    std::string joined;
    for (const char* item : items) {
        if (!joined.empty()) joined += '|';
        joined += item;
    }
    choice.clear();
    choice.add(joined.c_str());
    choice.value(std::min(selected, static_cast<int>(items.size()) - 1));
}

}  // namespace fan
