// The long form of a Windows path that every listing and volume call gets,
// so that paths may exceed the classic limit of 260 characters.
#pragma once

#include <filesystem>
#include <string>

namespace fan {

// Backslashes only; "\\?\" paths unchanged, "\\server\share\..." as
// "\\?\UNC\server\share\...", anything else behind "\\?\". Expects an
// absolute, lexically normal path (the scan engine's toLongPath gives one).
std::wstring win32LongPath(const std::filesystem::path& path);

}  // namespace fan
