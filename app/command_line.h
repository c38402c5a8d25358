// The folder named on the program's command line, as Windows passes it:
// one string that the program splits itself.
#pragma once

#include <filesystem>

namespace fan {

// The first argument of `commandLine` (as GetCommandLineW gives it, the
// program's own name first) split by CommandLineToArgvW's quoting rules, or
// an empty path without one. Further arguments are ignored. Any thread.
std::filesystem::path commandLineFolder(const wchar_t* commandLine);

}  // namespace fan
