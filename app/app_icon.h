// The program's icon: a small ring map drawn in the dark theme's colours.
//
// Pure pixel code without a toolkit, so that both the running program (for
// its window icons) and the build-time tool that writes the installed PNG
// icons draw the very same art. Any thread.
#pragma once

#include <vector>

namespace fan {

// size x size pixels, four bytes each (red, green, blue, alpha; straight,
// not premultiplied alpha), rows top to bottom. Sizes below 1 give an
// empty buffer.
std::vector<unsigned char> drawAppIcon(int size);

}  // namespace fan
