// Small regular files read through a handle whose type and size are checked
// before anything is read: a pipe or console device named in the file's
// place is refused rather than waited on.
#include <windows.h>

#include "settings/regular_file.h"

namespace fan {

std::optional<std::string> readRegularFile(const std::filesystem::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> text;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        uint64_t(size.QuadPart) <= kMaxRegularFileSize) {
        text.emplace();
        char buffer[4096];
        for (;;) {
            DWORD n = 0;
            if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) text.reset();
            if (!text || n == 0) break;
            text->append(buffer, n);
            // Grown while being read: too large after all.
            if (text->size() > kMaxRegularFileSize) {
                text.reset();
                break;
            }
        }
    }
    CloseHandle(file);
    return text;
}

}  // namespace fan
