// Between the byte strings the program keeps (node names, mount points,
// messages) and the system's native paths.
//
// On POSIX a native path is already bytes and passes through unchanged, so
// a name that is not valid UTF-8 still leads back to its file. On Windows a
// native path is UTF-16, which may hold unpaired surrogates; those are kept
// as WTF-8 (their three-byte form), so every name converts both ways and
// comes back as the very same file name. Pure functions, any thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fan {

// The text of a native path: its bytes on POSIX, WTF-8 on Windows.
std::string pathText(const std::filesystem::path& path);

// pathText with '/' as the only separator.
std::string genericPathText(const std::filesystem::path& path);

// The native form of a text made by pathText (or of any UTF-8 text). On
// Windows a byte sequence that is not WTF-8 becomes U+FFFD per bad byte.
std::filesystem::path::string_type nativeText(std::string_view text);

// The path a text names: the inverse of pathText. Every path the interface
// makes from text (the path field, the folder chooser, a mount point) goes
// through here, never through the library's own conversion, which on
// Windows reads the bytes as single characters.
inline std::filesystem::path pathFromText(std::string_view text) {
    return std::filesystem::path(nativeText(text));
}

}  // namespace fan
