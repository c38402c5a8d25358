// Sending 32-bit pixels (0x00RRGGBB, the layout of an X TrueColor visual of
// depth 24 and of a Windows DIB) to the display without converting them.
//
// GUI thread, inside a draw: the target is the toolkit's current window or
// offscreen, with its clip.
#pragma once

#include <cstdint>

namespace fan {

// Draws rows rowBegin to rowEnd - 1 of a `width` pixels wide image whose
// top-left corner lies at (x, y). False, drawing nothing, when the display
// takes another layout: the caller then goes through the toolkit.
bool putNativeRows(const uint32_t* pixels, int width, int rowBegin, int rowEnd, int x, int y);

}  // namespace fan
