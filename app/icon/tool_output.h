// How the icon build tools write their one output file.
#pragma once

#include <cstdio>
#include <vector>

namespace fan {

// Writes `bytes` to `path`; 0 on success, else 1 after saying why on stderr.
inline int writeToolOutput(const char* path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::perror(path);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(path);
        return 1;
    }
    return 0;
}

}  // namespace fan
