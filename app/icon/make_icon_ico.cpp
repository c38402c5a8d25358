// Build tool: writes the program's icon at every size Windows asks for as
// one ICO file, for the executable's icon resource.
// Usage: make_icon_ico OUTPUT
#include <cstdio>

#include "app/app_icon.h"
#include "app/icon/ico_encoder.h"
#include "app/icon/tool_output.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    std::vector<fan::IcoImage> images;
    for (int size : {16, 20, 24, 32, 48, 64, 128, 256})
        images.push_back({size, fan::drawAppIcon(size)});
    const std::vector<unsigned char> ico = fan::encodeIco(images);
    return fan::writeToolOutput(argv[1], ico);
}
