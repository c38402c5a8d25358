// The live preview while a scan runs, and the welcome screen.
#include "ui/map.h"

namespace fan {

void Map::drawPreview() {}

void Map::drawWelcome() {}

}  // namespace fan
