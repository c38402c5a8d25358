// The shell actions through the Windows shell: Explorer, Windows Terminal
// or the command prompt, and the Recycle Bin.
#include <windows.h>
#include <shellapi.h>

#include <system_error>
#include <vector>

#include "shell/shell_calls_win32.h"

namespace fan {
namespace {

constexpr DWORD kVolumePathChars = 32768;

int64_t run(const wchar_t* file, const std::wstring& parameters, const wchar_t* folder) {
    const HINSTANCE result = shellCalls.shellExecute(
        nullptr, L"open", file, parameters.empty() ? nullptr : parameters.c_str(), folder, SW_SHOWNORMAL);
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(result));
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::status(path, error));
}

// The root of the volume that holds `path`, or empty when it has none.
std::wstring volumeRoot(const std::filesystem::path& path) {
    std::vector<wchar_t> root(kVolumePathChars, L'\0');
    if (!GetVolumePathNameW(path.c_str(), root.data(), kVolumePathChars)) return {};
    return root.data();
}

ShellActionResult failure(const std::string& text) {
    return {false, text};
}

}  // namespace

ShellCalls shellCalls = {&ShellExecuteW, &SHFileOperationW, &SHEmptyRecycleBinW};

ShellActionResult shellExecuteResult(int64_t value, const std::string& action) {
    if (value > 32) return {true, {}};
    return failure(action + " failed (ShellExecute code " + std::to_string(value) + ")");
}

ShellActionResult showInFileManager(const std::filesystem::path& path, bool selectNonFolders) {
    // A path that no longer exists takes the select form too.
    if (!isFolder(path) && selectNonFolders)
        return shellExecuteResult(run(L"explorer.exe", L"/select,\"" + path.native() + L"\"", nullptr), "Explorer");
    return shellExecuteResult(run(path.c_str(), {}, nullptr), "Explorer");
}

std::wstring windowsTerminalParameters(const std::wstring& folder) {
    std::wstring parameters = L"-d \"";
    for (const wchar_t c : folder) {
        if (c == L';') parameters += L'\\';
        parameters += c;
    }
    // A backslash right before the closing quote would make it a quote of
    // the text: a root ("C:\") ends in "\." instead, the same folder.
    if (!folder.empty() && folder.back() == L'\\') parameters += L'.';
    return parameters + L'"';
}

ShellActionResult openTerminal(const std::filesystem::path& path) {
    std::filesystem::path folder = path;
    if (!isFolder(path) && !path.parent_path().empty()) folder = path.parent_path();
    const std::wstring& text = folder.native();
    if (run(L"wt.exe", windowsTerminalParameters(text), text.c_str()) > 32) return {true, {}};
    // cmd takes the rest of its command line as it stands: a root keeps its
    // backslash before the closing quote.
    return shellExecuteResult(run(L"cmd.exe", L"/K cd /d \"" + text + L"\"", text.c_str()), "Terminal");
}

bool isLocalVolume(const std::filesystem::path& path) {
    const std::wstring root = volumeRoot(path);
    if (root.empty()) return false;
    const UINT type = GetDriveTypeW(root.c_str());
    return type == DRIVE_REMOVABLE || type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

ShellActionResult moveToRecycleBin(const std::filesystem::path& path) {
    // Where the shell cannot recycle (no Recycle Bin on the volume, an item
    // too large for it) it deletes for good instead, and FOF_NOCONFIRMATION
    // would let it do so silently. So the volume must have a Recycle Bin,
    // and FOF_WANTNUKEWARNING makes the shell stop and ask rather than
    // delete anything that it still cannot recycle.
    const std::wstring root = volumeRoot(path);
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    if (root.empty() || !isLocalVolume(path) || FAILED(SHQueryRecycleBinW(root.c_str(), &bin)))
        return failure("Recycle Bin operation failed (no Recycle Bin on this volume)");

    std::wstring source = path.native();
    source.append(2, L'\0');  // a list of one name, closed by an empty name
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
    const int result = shellCalls.fileOperation(&operation);
    if (result == 0 && !operation.fAnyOperationsAborted) return {true, {}};
    return failure("Recycle Bin operation failed (code " + std::to_string(result) + ")");
}

ShellActionResult emptyRecycleBin() {
    const HRESULT result =
        shellCalls.emptyRecycleBin(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    if (result >= 0) return {true, {}};
    return failure("Could not empty Recycle Bin (HRESULT " + std::to_string(static_cast<uint32_t>(result)) + ")");
}

ShellActionResult openRecycleBin() {
    return shellExecuteResult(run(L"shell:RecycleBinFolder", {}, nullptr), "Recycle Bin");
}

}  // namespace fan
