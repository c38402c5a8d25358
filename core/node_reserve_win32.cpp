#include "core/node_reserve.h"

namespace fan {

// Windows volumes do not tell how many entries they hold: the table grows
// as needed.
void reserveNodes(std::vector<ScanNode>&, const std::filesystem::path&) {}

}  // namespace fan
