// Directory listing over FindFirstFileExW / FindNextFileW.
//
// Windows opens nothing relative to an open folder, so an anchor here is
// the folder's full path and each folder is listed by it. One listing per folder on the basic information level (no
// short names); sizes and kinds come from the listing itself, so no entry costs an extra call. Reparse points
// (junctions, symbolic links, mount folders) and devices, attribute mask 0x440, are never recorded or followed.
#include <windows.h>

#include <string>

#include "core/directory_lister.h"
#include "core/long_path_win32.h"
#include "core/path_text.h"
#include "core/wtf8.h"

namespace fan {
namespace {

constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
static_assert(kSkippedAttributes == 0x440, "reparse points and devices");

struct Win32Anchor final : FolderAnchor {
    explicit Win32Anchor(std::wstring p) : path(std::move(p)) {}
    const std::wstring path;
};

class Win32DirectoryLister final : public DirectoryLister {
public:
    ~Win32DirectoryLister() override { close(); }

    bool isFolder(const std::filesystem::path& path) override {
        const DWORD attributes = GetFileAttributesW(win32LongPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    ListOpen openRoot(const std::filesystem::path& root) override { return openPath(root.native()); }

    ListOpen open(const AnchorRef& parent, std::string_view name) override {
        const std::wstring& parentPath = static_cast<const Win32Anchor&>(*parent).path;
        std::wstring path = parentPath;
        if (path.empty() || path.back() != L'\\') path += L'\\';
        path += nativeText(name);
        const ListOpen opened = openPath(std::move(path));
        // The path cannot tell a folder that vanished from one whose parent
        // was moved away meanwhile: only the first is empty, the second is
        // lost and counted so.
        if (opened == ListOpen::NotFound && !isFolder(parentPath)) return ListOpen::Failed;
        return opened;
    }

    AnchorRef anchor() override {
        if (!anchor_ && handle_ != INVALID_HANDLE_VALUE) anchor_ = std::make_shared<Win32Anchor>(path_);
        return anchor_;
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
        anchor_.reset();
    }

private:
    ListOpen openPath(std::wstring path) {
        close();
        path_ = std::move(path);
        std::wstring pattern = win32LongPath(path_);
        if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
        pattern += L'*';
        handle_ = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr, 0);
        if (handle_ == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // Nothing matched, or the folder (or one above it) is gone.
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ListOpen::NotFound;
            return ListOpen::Failed;
        }
        havePending_ = true;
        failed_ = false;
        return ListOpen::Opened;
    }

    std::wstring path_;
    std::shared_ptr<Win32Anchor> anchor_;
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

// A listing holds one search handle, and handles are not scarce.
int affordableListingThreads() {
    return 1 << 16;
}

}  // namespace fan
