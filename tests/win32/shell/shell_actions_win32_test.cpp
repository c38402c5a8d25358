// The shell actions: what each would start (through a recording stand-in,
// so no Explorer or console opens under the test), the failure messages,
// and a real move to the Recycle Bin that Wine keeps in a private trash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <vector>

#include "app/command_line.h"
#include "shell/shell_calls_win32.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

std::vector<std::wstring> started;  // file | parameters | folder of each ShellExecuteW
std::vector<intptr_t> answers;      // what each call returns, in turn
std::vector<std::wstring> sources;  // each SHFileOperationW's first name and the two NULs after it
int operationResult;
BOOL operationAborted;
UINT operationFlags;

HINSTANCE WINAPI recordExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    EXPECT_EQ(std::wstring(verb), L"open");
    EXPECT_EQ(show, SW_SHOWNORMAL);
    started.push_back(std::wstring(file) + L"|" + (parameters ? parameters : L"-") + L"|" + (folder ? folder : L"-"));
    const intptr_t answer = answers.at(started.size() - 1);
    return reinterpret_cast<HINSTANCE>(answer);
}

int WINAPI recordOperation(LPSHFILEOPSTRUCTW op) {
    sources.emplace_back(op->pFrom, std::wcslen(op->pFrom) + 2);
    EXPECT_EQ(op->wFunc, UINT(FO_DELETE));
    operationFlags = op->fFlags;
    op->fAnyOperationsAborted = operationAborted;
    return operationResult;
}

HRESULT WINAPI failEmpty(HWND, LPCWSTR root, DWORD) {
    EXPECT_EQ(root, nullptr);  // every drive's bin
    return E_FAIL;
}

class ShellActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        shellCalls.shellExecute = &recordExecute;
        shellCalls.fileOperation = &recordOperation;
        shellCalls.emptyRecycleBin = &failEmpty;
    }
    void TearDown() override { shellCalls = saved; }
    const ShellCalls saved = shellCalls;
    testing::Win32TempTree temp;
};

TEST_F(ShellActionsTest, WhatIsStartedAndHowFailuresRead) {
    const std::wstring file = temp.file(L"a.txt", 1);
    const std::wstring gone = temp.join(L"gone");
    const std::wstring dir = temp.root();
    const struct {
        const char* name;
        std::function<ShellActionResult()> action;
        std::vector<intptr_t> answers;
        std::vector<std::wstring> started;
        const char* message;
    } rows[] = {
        {"a gone file is selected in its folder",
         [&] { return showInFileManager(gone, true); },
         {32},
         {L"explorer.exe|/select,\"" + gone + L"\"|-"},
         "Explorer failed (ShellExecute code 32)"},
        {"a folder opens itself", [&] { return showInFileManager(dir, true); }, {33}, {dir + L"|-|-"}, ""},
        {"the terminal opens in a file's folder",
         [&] { return openTerminal(file); },
         {42},
         {L"wt.exe|-d \"" + dir + L"\"|" + dir},
         ""},
        {"the command prompt when there is no Windows Terminal",
         [] { return openTerminal(L"C:\\"); },
         {2, -5},
         {L"wt.exe|-d \"C:\\\"|C:\\", L"cmd.exe|/K cd /d \"C:\\\"|C:\\"},
         "Terminal failed (ShellExecute code -5)"},
        {"the Recycle Bin",
         [] { return openRecycleBin(); },
         {0},
         {L"shell:RecycleBinFolder|-|-"},
         "Recycle Bin failed (ShellExecute code 0)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        started.clear();
        answers = row.answers;
        const ShellActionResult result = row.action();
        EXPECT_EQ(result.ok, result.message.empty());
        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(started, row.started);
    }
}

TEST_F(ShellActionsTest, RecycleBinFailuresAreReportedAndNothingIsDeletedForGood) {
    const std::wstring file = temp.file(L"keep.txt", 1);
    operationResult = 0;
    operationAborted = TRUE;
    EXPECT_EQ(moveToRecycleBin(file).message, "Recycle Bin operation failed (code 0)");
    operationResult = 1223;
    operationAborted = FALSE;
    EXPECT_EQ(moveToRecycleBin(file).message, "Recycle Bin operation failed (code 1223)");
    EXPECT_EQ(sources, std::vector<std::wstring>(2, file + std::wstring(2, L'\0')));
    // Undo keeps it in the bin; the nuke warning stops the shell from
    // silently deleting whatever it cannot recycle.
    EXPECT_NE(operationFlags & FOF_ALLOWUNDO, 0u);
    EXPECT_NE(operationFlags & FOF_WANTNUKEWARNING, 0u);
    // No Recycle Bin where the item lies: refused before the shell is asked.
    EXPECT_EQ(moveToRecycleBin(L"Q:\\nowhere\\x.txt").message,
              "Recycle Bin operation failed (no Recycle Bin on this volume)");
    EXPECT_EQ(sources.size(), 2u);
    EXPECT_EQ(emptyRecycleBin().message, "Could not empty Recycle Bin (HRESULT 2147500037)");
}

// The build points Wine's trash at a folder of its own and names it here,
// so the real move and empty never touch the user's trash.
TEST(RecycleBin, ARealMoveLandsInTheTrashAndEmptyingClearsIt) {
    const wchar_t* trash = _wgetenv(L"FAN_TRASH_FILES");
    ASSERT_TRUE(trash && *trash) << "FAN_TRASH_FILES is not set: refusing to use the user's own trash";
    testing::Win32TempTree temp;
    const std::wstring name = L"fan-trash-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring file = temp.file(name, 3);
    const std::wstring inTrash = std::wstring(trash) + L"\\" + name;
    ASSERT_TRUE(isLocalVolume(file));
    EXPECT_EQ(moveToRecycleBin(file).message, "");
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(inTrash.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(emptyRecycleBin().message, "");
    EXPECT_EQ(GetFileAttributesW(inTrash.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CommandLine, FirstArgumentByTheSystemsQuotingRules) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"fan.exe", L""},
        {L"\"C:\\Program Files\\fan.exe\" \"D:\\My Folder\" ignored", L"D:\\My Folder"},
        {L"fan.exe C:\\\u041F\u0430\u043F\u043A\u0430", L"C:\\\u041F\u0430\u043F\u043A\u0430"},
    };
    for (const auto& [line, folder] : cases)
        EXPECT_EQ(commandLineFolder(line).native(), folder) << line;
}

}  // namespace
}  // namespace fan
