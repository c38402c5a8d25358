#include "shell/file_uri.h"

namespace fan {

std::string percentEncodePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        // Not isalnum: in a Latin-1 locale it would let accented bytes through.
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~' ||
                           byte == '/';
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 15];
        }
    }
    return encoded;
}

std::string fileUri(const std::filesystem::path& absolutePath) {
    return "file://" + percentEncodePath(absolutePath.string());
}

}  // namespace fan
