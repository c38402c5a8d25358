// Directory listing over FindFirstFileExW / FindNextFileW.
//
// One listing per folder on the basic information level (no short names);
// sizes and kinds come from the listing itself, so no entry costs an extra
// call. Reparse points (junctions, symbolic links, mount folders) and
// devices, attribute mask 0x440, are never recorded or followed.
#include <windows.h>

#include <string>

#include "core/directory_lister.h"
#include "core/long_path_win32.h"
#include "core/wtf8.h"

namespace fan {
namespace {

constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
static_assert(kSkippedAttributes == 0x440, "reparse points and devices");

class Win32DirectoryLister final : public DirectoryLister {
public:
    ~Win32DirectoryLister() override { close(); }

    bool isFolder(const std::filesystem::path& path) override {
        const DWORD attributes = GetFileAttributesW(win32LongPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    ListOpen open(const std::filesystem::path& folder, bool) override {
        close();
        std::wstring pattern = win32LongPath(folder);
        if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
        pattern += L'*';
        handle_ = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr, 0);
        if (handle_ == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // Nothing matched, or the folder (or one above it) is gone: an
            // empty folder, as a folder that vanishes mid-scan is not an error.
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ListOpen::NotFound;
            return ListOpen::Failed;
        }
        havePending_ = true;
        failed_ = false;
        return ListOpen::Opened;
    }

    bool next(ListedEntry& entry) override {
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        if (!havePending_) {
            if (!FindNextFileW(handle_, &data_)) {
                failed_ = GetLastError() != ERROR_NO_MORE_FILES;
                return false;
            }
        }
        havePending_ = false;
        // Names that are not valid UTF-16 keep their surrogates (WTF-8), so
        // the scan goes on and the node's path leads back to this very file.
        name_ = wtf8FromUtf16(reinterpret_cast<const char16_t*>(data_.cFileName));
        entry.name = name_;
        entry.size = 0;
        if (data_.dwFileAttributes & kSkippedAttributes) {
            entry.kind = EntryKind::Other;
        } else if (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entry.kind = EntryKind::Folder;
        } else {
            entry.kind = EntryKind::File;
            entry.size = (uint64_t{data_.nFileSizeHigh} << 32) | data_.nFileSizeLow;
        }
        return true;
    }

    bool failed() const override { return failed_; }

    void close() override {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data_{};
    bool havePending_ = false;  // the entry FindFirstFileExW gave is not yet handed out
    bool failed_ = false;
    std::string name_;
};

}  // namespace

std::unique_ptr<DirectoryLister> makeDirectoryLister() {
    return std::make_unique<Win32DirectoryLister>();
}

}  // namespace fan
