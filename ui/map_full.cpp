// The full map of the folder being viewed: header, rings, centre, legend,
// contents list and details.
#include "ui/map.h"

namespace fan {

void Map::drawFullMap() {}

}  // namespace fan
