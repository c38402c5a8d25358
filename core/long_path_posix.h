// Opening a file or folder whose path is longer than PATH_MAX, which the
// system refuses to resolve in one call.
#pragma once

#include <string>

namespace fan {

// open(path, flags) for a path of any length. A path below PATH_MAX is
// opened in one call; a longer one is walked in pieces below PATH_MAX, each
// opened relative to the folder the previous piece reached. Returns the
// descriptor, or -1 with errno set. Any thread.
int openPathOfAnyLength(const std::string& path, int flags);

}  // namespace fan
