// The long form of a Windows path that every listing and volume call gets,
// so that paths may exceed the classic limit of 260 characters, and the
// Windows path forms that the standard library does not know.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace fan {

// Backslashes only; "\\?\" paths unchanged, "\\server\share\..." as
// "\\?\UNC\server\share\...", anything else behind "\\?\". Expects an
// absolute, lexically normal path (the scan engine's toLongPath gives one).
std::wstring win32LongPath(const std::filesystem::path& path);

// Whether a path begins with two separators: a network path
// "\\server\share\..." or one already behind "\\?\". The standard library
// (GCC 12) knows neither form and makes them folders of the current drive.
bool isWin32NetworkOrPrefixed(const std::filesystem::path& path);

// Such a path in its absolute, normal form: a "\\?\" path exactly as given
// (Windows takes it literally too), any other as the system resolves it
// ("." and ".." within the share, backslashes only), without a trailing
// separator. Sets `error` when the system cannot resolve it.
std::filesystem::path win32NetworkOrPrefixedFullPath(const std::filesystem::path& path, std::error_code& error);

}  // namespace fan
