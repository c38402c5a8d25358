// The POSIX directory lister, with its per-entry stat call replaceable so
// tests can make a single entry vanish or fail.
#pragma once

#include <memory>
#include <sys/stat.h>

#include "core/directory_lister.h"

namespace fan {

using StatAtFunction = int (*)(int dirfd, const char* name, struct stat* st, int flags);

std::unique_ptr<DirectoryLister> makePosixDirectoryLister(StatAtFunction statAt);

}  // namespace fan
