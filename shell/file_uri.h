// Paths written into URIs and .trashinfo files: every byte outside the
// unreserved set is percent-encoded, so the text holds no blank, quote,
// backslash, comma or byte that is not ASCII, whatever the name held.
#pragma once

#include <filesystem>
#include <string>

namespace fan {

// The bytes of `path` with every byte other than A-Z a-z 0-9 - . _ ~ and /
// written as %XX (upper-case hex).
std::string percentEncodePath(const std::string& path);

// "file://" followed by the encoded absolute path.
std::string fileUri(const std::filesystem::path& absolutePath);

}  // namespace fan
