// A minimal PNG writer for the build: RGBA images in stored (uncompressed)
// deflate blocks, so writing the installed icons needs no compression library.
#pragma once

#include <vector>

namespace fan {

// The PNG file bytes of a width x height image of straight-alpha RGBA
// pixels, rows top to bottom. Returns an empty vector when the sizes are
// not positive or the pixel buffer is shorter than width x height x 4.
std::vector<unsigned char> encodePng(const std::vector<unsigned char>& rgba, int width, int height);

}  // namespace fan
