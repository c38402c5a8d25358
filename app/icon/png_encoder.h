// PNG files of the program's icon art, written with libpng, for the icons
// the Linux build installs.
#pragma once

#include <vector>

namespace fan {

// The PNG file bytes of a width x height image of straight-alpha RGBA
// pixels, rows top to bottom. Returns an empty vector when the sizes are
// not positive, the pixel buffer is shorter than width x height x 4, or
// libpng fails.
std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgba, int width, int height);

}  // namespace fan
