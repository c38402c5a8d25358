#include "core/long_path_win32.h"

#include <windows.h>

#include <vector>

namespace fan {
namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isPrefixed(const std::wstring& text) {
    return text.compare(0, 4, L"\\\\?\\") == 0;
}

}  // namespace

std::wstring win32LongPath(const std::filesystem::path& path) {
    std::wstring text = path.native();
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    if (isPrefixed(text)) return text;
    if (text.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + text.substr(2);
    return L"\\\\?\\" + text;
}

bool isWin32NetworkOrPrefixed(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    return text.size() >= 2 && isSeparator(text[0]) && isSeparator(text[1]);
}

std::filesystem::path win32NetworkOrPrefixedFullPath(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    if (isPrefixed(path.native())) return path;
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            error.assign(static_cast<int>(GetLastError()), std::system_category());
            return {};
        }
        if (length < full.size()) {
            std::wstring text(full.data(), length);
            // "\\server\share\" names the share itself.
            if (text.size() > 2 && text.back() == L'\\') text.pop_back();
            return text;
        }
        full.resize(length);
    }
}

}  // namespace fan
