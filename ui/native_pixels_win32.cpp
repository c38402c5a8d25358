// Windows: ordinary memory and no direct path yet; the toolkit's image
// drawing converts.
#include "ui/native_pixels.h"

namespace fan {

struct NativePixels::Segment {};

NativePixels::NativePixels(int width, int height)
    : width_(width),
      height_(height),
      ownMemory_(
          new uint32_t[static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0)]) {
    pixels_ = ownMemory_.get();
}

NativePixels::~NativePixels() = default;

uint32_t* NativePixels::pixelsToChange() {
    return pixels_;
}

bool NativePixels::put(int, int, int, int) {
    return false;
}

void allowSharedPixels(bool) {}

}  // namespace fan
