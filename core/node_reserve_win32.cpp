#include "core/node_reserve.h"

namespace fan {

// Windows volumes do not report how many entries they hold (the figures'
// entry counts stay 0): the table grows as needed.
void reserveNodes(std::vector<ScanNode>&, const SpaceFigures&) {}

}  // namespace fan
