// A byte count as text in 1024-based units, the one formatter behind every
// size the program shows (the interface's formatSize and the core's
// formatBytesRu).
#pragma once

#include <cstdint>
#include <string>

namespace fan {

enum class SizeUnits { Russian, English };

// "0 Б", "1023 B", "1.00 KiB", "10.0 КиБ", up to EiB: no decimals for bytes,
// else two below 10 and one from 10 up (decided before rounding, so 10239
// bytes give "10.00 KiB"), a full stop whatever the C locale, one blank,
// then the unit. Pure; any thread.
std::string byteSizeText(uint64_t bytes, SizeUnits units);

}  // namespace fan
