// Windows: no direct path yet; the toolkit's image drawing converts.
#include "ui/native_pixels.h"

namespace fan {

bool putNativeRows(const uint32_t*, int, int, int, int, int) {
    return false;
}

}  // namespace fan
