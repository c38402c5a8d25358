// Real folder trees for the Windows tests, made and removed through the
// Win32 calls on long paths, so that nesting beyond 260 characters works.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace fan::testing {

class Win32TempTree {
public:
    Win32TempTree() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::wstring(temp) + L"fan-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        folder(L"");
    }
    ~Win32TempTree() { removeAll(L"\\\\?\\" + root_); }

    const std::wstring& root() const { return root_; }

    std::wstring join(const std::wstring& relative) const {
        return relative.empty() ? root_ : root_ + L"\\" + relative;
    }

    // Makes root\relative (its parents must exist); returns its full path.
    std::wstring folder(const std::wstring& relative) const {
        const std::wstring path = join(relative);
        if (!CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr)) throw std::runtime_error("cannot make a folder");
        return path;
    }

    // A file of `size` bytes; its length is set, not written, so large
    // files stay sparse on the Unix side.
    std::wstring file(const std::wstring& relative, uint64_t size) const {
        const std::wstring path = join(relative);
        const HANDLE h = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a file");
        LARGE_INTEGER end{};
        end.QuadPart = LONGLONG(size);
        const bool ok = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
        CloseHandle(h);
        if (!ok) throw std::runtime_error("cannot size a file");
        return path;
    }

private:
    static inline int counter = 0;
    std::wstring root_;

    // Links are removed, never followed.
    static void removeAll(const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        WIN32_FIND_DATAW data;
        const HANDLE find = folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                                ? FindFirstFileW((path + L"\\*").c_str(), &data)
                                : INVALID_HANDLE_VALUE;
        for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data))
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..")) removeAll(path + L"\\" + data.cFileName);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
        folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
    }
};

}  // namespace fan::testing
