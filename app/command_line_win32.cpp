#include <windows.h>
#include <shellapi.h>

#include "app/command_line.h"

namespace fan {

std::filesystem::path commandLineFolder(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments) return {};
    std::filesystem::path folder;
    if (count > 1) folder = arguments[1];
    LocalFree(arguments);
    return folder;
}

}  // namespace fan
