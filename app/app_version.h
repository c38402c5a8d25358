// The program's version as the window title and the header show it.
#pragma once

namespace fan {

inline constexpr const char* kVersionText = "0.5.14";
inline constexpr const char* kWindowTitle = "fanOrbiter 0.5.14";

}  // namespace fan
