#include "core/node_reserve.h"

#include <algorithm>
#include <new>
#include <unistd.h>

namespace fan {

void reserveNodes(std::vector<ScanNode>& nodes, const SpaceFigures& figures) {
    if (figures.totalEntries == 0 || figures.freeEntries > figures.totalEntries) return;
    const uint64_t inUse = figures.totalEntries - figures.freeEntries + 1;
    // Stay well inside what the kernel's overcommit heuristics accept.
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return;
    const uint64_t limit = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4 / sizeof(ScanNode);
    try {
        nodes.reserve(static_cast<size_t>(std::min(inUse, limit)));
    } catch (const std::bad_alloc&) {
        // Growing as needed works too, only with a higher peak.
    }
}

}  // namespace fan
