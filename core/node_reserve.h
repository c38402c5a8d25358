// Sizing the node table of a scan before the walk starts.
#pragma once

#include <vector>

#include "core/tree.h"
#include "core/volume_space.h"

namespace fan {

// Reserves room for as many nodes as the file system holding the root has
// entries in use, from the figures measured there. A growing vector briefly
// holds its old and new blocks together, nearly doubling the peak of a large
// scan; a reservation that is never touched costs only address space. Best
// effort: nothing is reserved when the count is unknown or too large.
void reserveNodes(std::vector<ScanNode>& nodes, const SpaceFigures& figures);

}  // namespace fan
