// The shell actions: what each would start (through a recording stand-in,
// so no Explorer or console opens under the test), the failure messages,
// and a real move to the Recycle Bin that Wine keeps in a private trash.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"
#include "shell/shell_calls_win32.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

std::vector<std::wstring> started;  // file | parameters | folder of each ShellExecuteW
std::vector<intptr_t> answers;      // what each call returns, in turn (42 when none is left)
std::vector<std::wstring> sources;  // each SHFileOperationW's name list, closing NULs included
int operationResult;
BOOL operationAborted;
UINT operationFlags;

HINSTANCE WINAPI recordExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(std::wstring(verb), L"open");
    EXPECT_EQ(show, SW_SHOWNORMAL);
    started.push_back(std::wstring(file) + L"|" + (parameters ? parameters : L"-") + L"|" + (folder ? folder : L"-"));
    const intptr_t answer = answers.empty() ? 42 : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return reinterpret_cast<HINSTANCE>(answer);
}

int WINAPI recordOperation(LPSHFILEOPSTRUCTW op) {
    const wchar_t* end = op->pFrom;
    while (*end || end[1])
        ++end;
    sources.emplace_back(op->pFrom, end + 2);
    EXPECT_EQ(op->wFunc, UINT(FO_DELETE));
    operationFlags = op->fFlags;
    op->fAnyOperationsAborted = operationAborted;
    return operationResult;
}

HRESULT WINAPI failEmpty(HWND, LPCWSTR root, DWORD flags) {
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(flags, DWORD(SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND));
    return E_FAIL;
}

ShellActionResult showSelecting(const std::wstring& p) {
    return showInFileManager(p, true);
}
ShellActionResult showItself(const std::wstring& p) {
    return showInFileManager(p, false);
}
ShellActionResult terminal(const std::wstring& p) {
    return openTerminal(p);
}
ShellActionResult recycleBin(const std::wstring&) {
    return openRecycleBin();
}

class ShellActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        shellCalls.shellExecute = &recordExecute;
        started.clear();
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
        ShellActionResult (*action)(const std::wstring&);
        std::wstring path;
        std::vector<intptr_t> answers;
        std::vector<std::wstring> started;
        const char* message;
    } cases[] = {
        {showSelecting, file, {42}, {L"explorer.exe|/select,\"" + file + L"\"|-"}, ""},
        {showSelecting,
         gone,
         {32},
         {L"explorer.exe|/select,\"" + gone + L"\"|-"},
         "Explorer failed (ShellExecute code 32)"},
        {showSelecting, dir, {33}, {dir + L"|-|-"}, ""},
        {showItself, file, {0}, {file + L"|-|-"}, "Explorer failed (ShellExecute code 0)"},
        {terminal, file, {42}, {L"wt.exe|-d \"" + dir + L"\"|" + dir}, ""},
        {terminal, L"C:\\", {2, 42}, {L"wt.exe|-d \"C:\\\"|C:\\", L"cmd.exe|/K cd /d \"C:\\\"|C:\\"}, ""},
        {terminal,
         L"name",
         {2, -5},
         {L"wt.exe|-d \"name\"|name", L"cmd.exe|/K cd /d \"name\"|name"},
         "Terminal failed (ShellExecute code -5)"},
        {recycleBin, L"", {0}, {L"shell:RecycleBinFolder|-|-"}, "Recycle Bin failed (ShellExecute code 0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        started.clear();
        answers = c.answers;
        const ShellActionResult r = c.action(c.path);
        EXPECT_EQ(r.ok, r.message.empty());
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(started, c.started);
    }
}

TEST_F(ShellActionsTest, RecycleBinFailuresAreReportedAndNothingIsDeletedForGood) {
    shellCalls.fileOperation = &recordOperation;
    shellCalls.emptyRecycleBin = &failEmpty;
    const std::wstring file = temp.file(L"keep.txt", 1);
    const std::tuple<int, BOOL, const char*> cases[] = {{0, FALSE, ""},
                                                        {0, TRUE, "Recycle Bin operation failed (code 0)"},
                                                        {1223, FALSE, "Recycle Bin operation failed (code 1223)"}};
    for (const auto& [result, aborted, message] : cases) {
        operationResult = result;
        operationAborted = aborted;
        EXPECT_EQ(moveToRecycleBin(file).message, message);
    }
    EXPECT_EQ(sources, std::vector<std::wstring>(3, file + std::wstring(2, L'\0')));
    // Undo keeps it in the bin; the nuke warning stops the shell from
    // silently deleting whatever it cannot recycle.
    EXPECT_NE(operationFlags & FOF_ALLOWUNDO, 0u);
    EXPECT_NE(operationFlags & FOF_WANTNUKEWARNING, 0u);
    // No Recycle Bin where the item lies: refused before the shell is asked.
    EXPECT_EQ(moveToRecycleBin(L"Q:\\nowhere\\x.txt").message,
              "Recycle Bin operation failed (no Recycle Bin on this volume)");
    EXPECT_EQ(sources.size(), 3u);
    EXPECT_EQ(emptyRecycleBin().message, "Could not empty Recycle Bin (HRESULT 2147500037)");
}

// The build points Wine's trash at a folder of its own and names it here,
// so the real move and empty never touch the user's trash.
TEST_F(ShellActionsTest, ARealMoveLandsInTheTrashAndEmptyingClearsIt) {
    const wchar_t* trash = _wgetenv(L"FAN_TRASH_FILES");
    ASSERT_TRUE(trash && *trash) << "FAN_TRASH_FILES is not set: refusing to use the user's own trash";
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
        {L"fan.exe C:\\\u041F\u0430\u043F\u043A\u0430\\\u00E9t\u00E9",
         L"C:\\\u041F\u0430\u043F\u043A\u0430\\\u00E9t\u00E9"},
        {L"fan.exe   D:\\x\\   E:\\y", L"D:\\x\\"},
    };
    for (const auto& [line, folder] : cases)
        EXPECT_EQ(commandLineFolder(line).native(), folder) << line;
}

}  // namespace
}  // namespace fan
