// The two interface fonts, named once at start-up.
#pragma once

namespace fan {

// Names the toolkit's font 0 (its normal face, used by every text helper)
// and font 1 (its bold face, used by the logo) after the platform's sans
// face that covers Cyrillic: "Segoe UI" and "Segoe UI Semibold" on Windows,
// DejaVu Sans and DejaVu Sans Bold elsewhere. Called once by main before
// the first window is built, and by the tests in the same way. GUI thread
// only.
void installInterfaceFonts();

}  // namespace fan
