// The full map's text panels around the rings: the legend under them, the
// contents list on the right and the details of what the pointer is over.
//
// Called by Map::drawFullMap on the GUI thread while the map draws, after it
// has placed the rings; they read the map's geometry and hover, and the
// list also stores its top, row count and clamped scroll in the map.
// `current` must be a valid node of `tree`.
#pragma once

#include <cstdint>

#include "core/tree.h"

namespace fan {

class Map;

void drawMapLegend(const Map& map, const Tree& tree, uint64_t current);
void drawContentsList(Map& map, const Tree& tree, uint64_t current);
void drawMapDetails(const Map& map, const Tree& tree, uint64_t current);

}  // namespace fan
