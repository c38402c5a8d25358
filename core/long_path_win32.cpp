#include "core/long_path_win32.h"

namespace fan {

std::wstring win32LongPath(const std::filesystem::path& path) {
    std::wstring text = path.native();
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    if (text.compare(0, 4, L"\\\\?\\") == 0) return text;
    if (text.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + text.substr(2);
    return L"\\\\?\\" + text;
}

}  // namespace fan
