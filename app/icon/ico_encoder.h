// A minimal ICO writer for the build: each image stored as a PNG, which
// Windows reads at every size from Vista on.
#pragma once

#include <vector>

namespace fan {

struct IcoImage {
    int size;                        // width and height in pixels, 1 to 256
    std::vector<unsigned char> png;  // the image's PNG file bytes
};

// The ICO file bytes holding `images` in their order; empty when there are
// none, more than 65535, or a size lies outside 1 to 256.
std::vector<unsigned char> encodeIco(const std::vector<IcoImage>& images);

}  // namespace fan
