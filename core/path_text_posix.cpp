#include "core/path_text.h"

namespace fan {

std::string pathText(const std::filesystem::path& path) {
    return path.native();
}

std::string genericPathText(const std::filesystem::path& path) {
    return path.generic_string();
}

std::filesystem::path::string_type nativeText(std::string_view text) {
    return std::string(text);
}

}  // namespace fan
