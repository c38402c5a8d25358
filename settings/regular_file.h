// Reading a small text file from the user's folders without letting what
// stands in its place (a FIFO, a device, a huge file) block or flood us.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace fan {

// No preferences file is anywhere near this; a larger one is not ours.
constexpr size_t kMaxRegularFileSize = size_t{1} << 20;

// The whole content of `path` (links followed) when it opens as a regular
// file of at most kMaxRegularFileSize bytes; nullopt otherwise, as for a
// missing or unreadable file. Never waits on a writer. Any thread.
std::optional<std::string> readRegularFile(const std::filesystem::path& path);

}  // namespace fan
