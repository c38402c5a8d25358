// The Linux directory lister, with its two system calls replaceable so tests
// can make a single entry vanish or fail, or hide the entry types the way
// some file systems do.
#pragma once

#include <memory>
#include <sys/stat.h>
#include <sys/types.h>

#include "core/directory_lister.h"

namespace fan {

using StatAtFunction = int (*)(int dirfd, const char* name, struct stat* st, int flags);
// getdents64: fills `buffer` with struct dirent64 records; bytes written,
// 0 at the end, -1 on failure.
using ReadEntriesFunction = ssize_t (*)(int fd, void* buffer, size_t size);

std::unique_ptr<DirectoryLister> makeLinuxDirectoryLister(StatAtFunction statAt, ReadEntriesFunction readEntries);

}  // namespace fan
