// Read-only queries over a finished Tree: search by name, largest files,
// and the case folding and Russian size text they come with.
//
// Callers: the analysis window on the GUI thread, after the scan worker has
// handed the Tree over. Every function is pure: it reads its arguments, keeps
// no state and cannot fail (other than by running out of memory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/tree.h"

namespace fan {

// Indices of the nodes whose name contains `query`, case-folded by lowerUtf8,
// ascending in node order, the root included, at most `limit` of them (the
// earliest matches). An empty query or a limit of 0 gives nothing.
std::vector<uint64_t> searchByName(const Tree& tree, const std::string& query, uint64_t limit);

// Indices of the `limit` largest files (folders and mount points never count,
// empty files do), largest first; among equal sizes the later node first,
// and at the cut-off the later nodes are the ones kept.
std::vector<uint64_t> largestFiles(const Tree& tree, uint64_t limit);

// Lower-cases Latin A-Z and the Russian capitals А-Я and Ё; every other
// byte is copied as it is. The input is not validated as UTF-8.
std::string lowerUtf8(const std::string& text);

// A byte count in 1024-based units with Russian unit names, e.g. "1.00 КиБ":
// byteSizeText with SizeUnits::Russian.
std::string formatBytesRu(uint64_t bytes);

}  // namespace fan
