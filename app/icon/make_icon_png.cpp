// Build tool: writes the program's icon at one size as a PNG file.
// Usage: make_icon_png SIZE OUTPUT
#include <cstdio>
#include <cstdlib>

#include "app/app_icon.h"
#include "app/icon/png_encoder.h"

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
    std::FILE* file = std::fopen(argv[2], "wb");
    if (file == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
