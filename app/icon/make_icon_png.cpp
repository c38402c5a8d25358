// Build tool: writes the program's icon at one size as a PNG file.
// Usage: make_icon_png SIZE OUTPUT
#include <cstdio>
#include <cstdlib>

#include "app/app_icon.h"
#include "app/icon/png_encoder.h"
#include "app/icon/tool_output.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT\n", argv[0]);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    const std::vector<unsigned char> png = fan::encodePng(fan::drawAppIcon(size), size, size);
    if (png.empty()) {
        std::fprintf(stderr, "%s: bad size %s\n", argv[0], argv[1]);
        return 2;
    }
    return fan::writeToolOutput(argv[2], png);
}
