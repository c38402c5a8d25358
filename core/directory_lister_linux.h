// The Linux directory lister, with its system calls replaceable so tests can
// make a single entry vanish or fail, hide the entry types the way some file
// systems do, or count and fail the folders opened, and with the number of
// descriptors kept open for anchors adjustable so tests can reach the bound
// with a shallow tree.
#pragma once

#include <cstddef>
#include <memory>
#include <sys/stat.h>
#include <sys/types.h>

#include "core/directory_lister.h"
#include "core/folder_anchor_linux.h"

namespace fan {

using StatAtFunction = int (*)(int dirfd, const char* name, struct stat* st, int flags);
// getdents64: fills `buffer` with struct dirent64 records; bytes written,
// 0 at the end, -1 on failure.
using ReadEntriesFunction = ssize_t (*)(int fd, void* buffer, size_t size);

// The bound on descriptors the anchors of one scan keep open, from the
// process's limit on open files: a quarter of it, at most 256.
size_t defaultAnchorDescriptors();

// Listing threads whose descriptors fit beside `anchorDescriptors`: each
// holds the folder it lists and the one it opens it from, both pinned in
// the pool, and at most half the pool may be pinned so the walk always
// finds room for the folders on its way.
int listingThreadsWithin(size_t anchorDescriptors);

// `anchorDescriptors` bounds the descriptors kept open by the anchors of a
// scan whose root this lister opens; folders being listed or opened right
// now keep theirs beyond it. Folders are opened through `openAt`.
std::unique_ptr<DirectoryLister> makeLinuxDirectoryLister(StatAtFunction statAt, ReadEntriesFunction readEntries,
                                                          size_t anchorDescriptors = defaultAnchorDescriptors(),
                                                          OpenAtFunction openAt = &openAtDirectly);

}  // namespace fan
