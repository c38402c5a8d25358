#include "core/path_text.h"

#include "core/wtf8.h"

namespace fan {

// wchar_t is UTF-16 on Windows, so the native string converts as it is.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows paths are UTF-16");

std::string pathText(const std::filesystem::path& path) {
    const std::wstring& native = path.native();
    return wtf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(native.data()), native.size()));
}

std::string genericPathText(const std::filesystem::path& path) {
    std::string text = pathText(path);
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

std::filesystem::path::string_type nativeText(std::string_view text) {
    const std::u16string wide = utf16FromWtf8(text);
    return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
}

}  // namespace fan
