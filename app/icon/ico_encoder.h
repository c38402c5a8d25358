// A minimal ICO writer for the Windows build: each image stored as a 32-bit
// bitmap with its alpha channel, which Windows reads at every size, so the
// icon resource needs no image codec.
#pragma once

#include <vector>

namespace fan {

struct IcoImage {
    int size;                         // width and height in pixels, 1 to 256
    std::vector<unsigned char> rgba;  // straight-alpha RGBA, rows top to bottom
};

// The ICO file bytes holding `images` in their order; empty when there are
// none, more than 65535, a size lies outside 1 to 256, or an image holds
// fewer than size x size pixels.
std::vector<unsigned char> encodeIco(const std::vector<IcoImage>& images);

}  // namespace fan
