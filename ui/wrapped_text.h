// Breaking a text into lines that fit a width, for boxes that show more than
// one line (the dialogs' message and detail).
#pragma once

#include <string>

namespace fan {

// `text` with line feeds added so that no line is wider than `width` in the
// current font: after a space (which is dropped), else after a '/' or '\',
// else between two characters, so a long path or name is broken too. The
// text's own line feeds are kept; a single character wider than `width`
// stays on a line of its own. Needs the display open; GUI thread.
std::string wrappedText(const std::string& text, int width);

// wrappedText in at most `maxLines` lines (at least one). A text that needs
// more keeps its first lines and ends with "…" and as much of its own end as
// fits the last line: a long path still shows the name it leads to.
std::string wrappedText(const std::string& text, int width, int maxLines);

}  // namespace fan
