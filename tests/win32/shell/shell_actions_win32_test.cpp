// The shell actions: what each would start (through a recording stand-in,
// so no Explorer or console opens under the test), the failure messages,
// and a real move to the Recycle Bin that Wine keeps in a private trash.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/shell_calls_win32.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

struct Started {
    std::wstring file, parameters, folder;
};

std::vector<Started> started;
std::vector<intptr_t> answers;  // what each ShellExecuteW call returns, in turn

std::wstring text(const wchar_t* s) { return s ? s : L"(none)"; }

HINSTANCE WINAPI recordExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                               INT show) {
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(text(verb), L"open");
    EXPECT_EQ(show, SW_SHOWNORMAL);
    started.push_back({text(file), text(parameters), text(folder)});
    const intptr_t answer = answers.empty() ? 42 : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return reinterpret_cast<HINSTANCE>(answer);
}

class ShellActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = shellCalls;
        shellCalls.shellExecute = &recordExecute;
        started.clear();
        answers.clear();
    }
    void TearDown() override { shellCalls = saved; }
    ShellCalls saved;
    testing::Win32TempTree temp;
};

TEST(ShellExecuteResult, AboveThirtyTwoIsSuccessElseTheCodeIsNamed) {
    const struct {
        int64_t value;
        const char* message;
    } cases[] = {
        {33, ""},
        {32, "Terminal failed (ShellExecute code 32)"},
        {2, "Terminal failed (ShellExecute code 2)"},
        {0, "Terminal failed (ShellExecute code 0)"},
        {-5, "Terminal failed (ShellExecute code -5)"},
    };
    for (const auto& c : cases) {
        const ShellActionResult r = shellExecuteResult(c.value, "Terminal");
        EXPECT_EQ(r.ok, c.value == 33);
        EXPECT_EQ(r.message, c.message);
    }
}

TEST_F(ShellActionsTest, FileManagerSelectsFilesAndOpensFolders) {
    const std::wstring file = temp.file(L"a.txt", 1);
    const std::wstring gone = temp.join(L"gone.txt");
    EXPECT_TRUE(showInFileManager(file, true).ok);
    EXPECT_TRUE(showInFileManager(gone, true).ok);
    EXPECT_TRUE(showInFileManager(temp.root(), true).ok);
    EXPECT_TRUE(showInFileManager(file, false).ok);
    ASSERT_EQ(started.size(), 4u);
    EXPECT_EQ(started[0].file, L"explorer.exe");
    EXPECT_EQ(started[0].parameters, L"/select,\"" + file + L"\"");
    EXPECT_EQ(started[1].parameters, L"/select,\"" + gone + L"\"");
    EXPECT_EQ(started[2].file, temp.root());
    EXPECT_EQ(started[2].parameters, L"(none)");
    EXPECT_EQ(started[3].file, file);

    answers = {31};
    EXPECT_EQ(showInFileManager(file, true).message, "Explorer failed (ShellExecute code 31)");
}

TEST_F(ShellActionsTest, TerminalInTheFolderFallsBackToTheCommandPrompt) {
    const std::wstring file = temp.file(L"a.txt", 1);
    const struct {
        std::wstring path;
        std::vector<intptr_t> answers;
        std::wstring folder;
        const char* message;
    } cases[] = {
        {file, {42}, temp.root(), ""},
        {temp.root(), {2, 42}, temp.root(), ""},
        {L"C:\\", {2, 42}, L"C:\\", ""},
        {L"name", {2, 5}, L"name", "Terminal failed (ShellExecute code 5)"},
    };
    for (const auto& c : cases) {
        started.clear();
        answers = c.answers;
        const ShellActionResult r = openTerminal(c.path);
        EXPECT_EQ(r.message, c.message);
        ASSERT_EQ(started.size(), c.answers.size());
        EXPECT_EQ(started[0].file, L"wt.exe");
        EXPECT_EQ(started[0].parameters, L"-d \"" + c.folder + L"\"");
        EXPECT_EQ(started[0].folder, c.folder);
        if (started.size() == 2) {
            EXPECT_EQ(started[1].file, L"cmd.exe");
            EXPECT_EQ(started[1].parameters, L"/K cd /d \"" + c.folder + L"\"");
            EXPECT_EQ(started[1].folder, c.folder);
        }
    }
}

TEST_F(ShellActionsTest, RecycleBinIsOpenedThroughTheShellFolder) {
    EXPECT_TRUE(openRecycleBin().ok);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].file, L"shell:RecycleBinFolder");
    answers = {0};
    EXPECT_EQ(openRecycleBin().message, "Recycle Bin failed (ShellExecute code 0)");
}

// The stand-in for SHFileOperationW and SHEmptyRecycleBinW.
int operationResult;
BOOL operationAborted;
std::vector<SHFILEOPSTRUCTW> operations;
std::wstring firstSource;  // the name list as the first call saw it, both closing NULs included
int WINAPI fakeOperation(LPSHFILEOPSTRUCTW op) {
    if (operations.empty()) {
        const wchar_t* end = op->pFrom;
        while (*end || end[1]) ++end;
        firstSource.assign(op->pFrom, end + 2);
    }
    operations.push_back(*op);
    op->fAnyOperationsAborted = operationAborted;
    return operationResult;
}
DWORD emptyFlags;
HRESULT WINAPI fakeEmpty(HWND, LPCWSTR root, DWORD flags) {
    EXPECT_EQ(root, nullptr);  // every drive's Recycle Bin
    emptyFlags = flags;
    return E_FAIL;
}

TEST_F(ShellActionsTest, RecycleBinFailuresAreReportedAndNothingIsDeletedForGood) {
    shellCalls.fileOperation = &fakeOperation;
    const std::wstring file = temp.file(L"keep.txt", 1);
    const struct {
        int result;
        BOOL aborted;
        const char* message;
    } cases[] = {
        {0, FALSE, ""},
        {0, TRUE, "Recycle Bin operation failed (code 0)"},
        {1223, FALSE, "Recycle Bin operation failed (code 1223)"},
    };
    for (const auto& c : cases) {
        operationResult = c.result;
        operationAborted = c.aborted;
        EXPECT_EQ(moveToRecycleBin(file).message, c.message);
    }
    ASSERT_EQ(operations.size(), 3u);
    EXPECT_EQ(operations[0].wFunc, UINT(FO_DELETE));
    EXPECT_EQ(firstSource, file + std::wstring(2, L'\0'));
    // Undo keeps it in the bin; the nuke warning stops the shell from
    // deleting silently whatever it cannot recycle.
    EXPECT_EQ(operations[0].fFlags & (FOF_ALLOWUNDO | FOF_WANTNUKEWARNING), FOF_ALLOWUNDO | FOF_WANTNUKEWARNING);

    // No Recycle Bin where the item lies: refused before the shell is asked.
    operations.clear();
    EXPECT_FALSE(isLocalVolume(L"Q:\\nowhere\\x.txt"));
    EXPECT_EQ(moveToRecycleBin(L"Q:\\nowhere\\x.txt").message,
              "Recycle Bin operation failed (no Recycle Bin on this volume)");
    EXPECT_TRUE(operations.empty());

    shellCalls.emptyRecycleBin = &fakeEmpty;
    EXPECT_EQ(emptyRecycleBin().message, "Could not empty Recycle Bin (HRESULT 2147500037)");
    EXPECT_EQ(emptyFlags, DWORD(SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND));
}

// The build points Wine's trash at a folder of its own and names it here,
// so the real move and empty never touch the user's trash.
TEST_F(ShellActionsTest, ARealMoveLandsInTheTrashAndEmptyingClearsIt) {
    const wchar_t* trash = _wgetenv(L"FAN_TRASH_FILES");
    ASSERT_TRUE(trash && *trash) << "FAN_TRASH_FILES is not set: refusing to use the user's own trash";
    const std::wstring name = L"fan-trash-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring file = temp.file(name, 3);
    ASSERT_TRUE(isLocalVolume(file));

    const ShellActionResult moved = moveToRecycleBin(file);
    ASSERT_TRUE(moved.ok) << moved.message;
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring inTrash = std::wstring(trash) + L"\\" + name;
    EXPECT_NE(GetFileAttributesW(inTrash.c_str()), INVALID_FILE_ATTRIBUTES);

    const ShellActionResult emptied = emptyRecycleBin();
    EXPECT_TRUE(emptied.ok) << emptied.message;
    EXPECT_EQ(GetFileAttributesW(inTrash.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CommandLine, FirstArgumentByTheSystemsQuotingRules) {
    const struct {
        const wchar_t* line;
        const wchar_t* folder;
    } cases[] = {
        {L"fan.exe", L""},
        {L"\"C:\\Program Files\\fan.exe\" \"D:\\My Folder\" ignored", L"D:\\My Folder"},
        {L"fan.exe C:\\\u041F\u0430\u043F\u043A\u0430\\\u00E9t\u00E9", L"C:\\\u041F\u0430\u043F\u043A\u0430\\\u00E9t\u00E9"},
        {L"fan.exe \"C:\\a \\\"b\\\"\"", L"C:\\a \"b\""},
        {L"fan.exe   D:\\x\\   E:\\y", L"D:\\x\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(commandLineFolder(c.line).native(), c.folder) << c.line;
}

}  // namespace
}  // namespace fan
