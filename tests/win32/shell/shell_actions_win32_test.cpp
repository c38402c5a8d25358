// The shell actions: what each would start (through a recording stand-in,
// so no Explorer or console opens under the test), the failure messages,
// and a real move to the Recycle Bin that Wine keeps in a private trash.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cwchar>
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
    return reinterpret_cast<HINSTANCE>(answers.at(started.size() - 1));
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

using Started = std::vector<std::wstring>;

class ShellActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        shellCalls.shellExecute = &recordExecute;
        shellCalls.fileOperation = &recordOperation;
        shellCalls.emptyRecycleBin = &failEmpty;
        started.clear();
    }
    void TearDown() override { shellCalls = saved; }
    const ShellCalls saved = shellCalls;
    testing::Win32TempTree temp;
};

// A path gone meanwhile is selected too, and 32 is still a failure.
TEST_F(ShellActionsTest, ExplorerSelectsAFileInItsFolder) {
    const std::wstring gone = temp.join(L"gone");
    answers = {32};
    EXPECT_EQ(showInFileManager(gone, true).message, "Explorer failed (ShellExecute code 32)");
    EXPECT_EQ(started, Started{L"explorer.exe|/select,\"" + gone + L"\"|-"});
}

TEST_F(ShellActionsTest, AFolderOpensItself) {
    answers = {33};
    EXPECT_EQ(showInFileManager(temp.root(), true).message, "");
    EXPECT_EQ(started, Started{temp.root() + L"|-|-"});
}

TEST_F(ShellActionsTest, TheTerminalOpensInAFilesFolder) {
    answers = {42};
    EXPECT_EQ(openTerminal(temp.file(L"a.txt", 1)).message, "");
    EXPECT_EQ(started, Started{L"wt.exe|-d \"" + temp.root() + L"\"|" + temp.root()});
}

// The command prompt takes a drive root with its backslash before the quote.
TEST_F(ShellActionsTest, TheCommandPromptWhenThereIsNoWindowsTerminal) {
    answers = {2, -5};
    EXPECT_EQ(openTerminal(L"C:\\").message, "Terminal failed (ShellExecute code -5)");
    EXPECT_EQ(started, (Started{L"wt.exe|-d \"C:\\.\"|C:\\", L"cmd.exe|/K cd /d \"C:\\\"|C:\\"}));
}

// The commands Windows Terminal reads in one argument: split at each ';'
// not written as "\;", whose backslash it drops.
std::vector<std::wstring> terminalCommands(const std::wstring& argument) {
    std::vector<std::wstring> commands(1);
    for (size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] == L'\\' && i + 1 < argument.size() && argument[i + 1] == L';')
            commands.back() += argument[++i];
        else if (argument[i] == L';')
            commands.emplace_back();
        else
            commands.back() += argument[i];
    }
    return commands;
}

TEST(WindowsTerminal, TheFolderSurvivesTheTerminalsCommandLineRules) {
    const struct {
        const char* name;
        const wchar_t* folder;
        const wchar_t* read;  // the folder as the terminal gets it
    } rows[] = {
        {"a drive root", L"C:\\", L"C:\\."},
        {"a share's root", L"\\\\server\\share\\", L"\\\\server\\share\\."},
        {"a name with spaces", L"D:\\My Folder", L"D:\\My Folder"},
        {"a ';' inside a name", L"C:\\a;b", L"C:\\a;b"},
        {"a name that starts with ';'", L"C:\\a\\;b", L"C:\\a\\;b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int count = 0;
        wchar_t** argv = CommandLineToArgvW((L"wt.exe " + windowsTerminalParameters(row.folder)).c_str(), &count);
        ASSERT_NE(argv, nullptr);
        const std::vector<std::wstring> arguments(argv, argv + count);
        LocalFree(argv);
        ASSERT_EQ(arguments.size(), 3u);
        EXPECT_EQ(arguments[1], L"-d");
        EXPECT_EQ(terminalCommands(arguments[2]), std::vector<std::wstring>{row.read});
    }
}

TEST_F(ShellActionsTest, TheRecycleBinOpensInExplorer) {
    answers = {0};
    EXPECT_EQ(openRecycleBin().message, "Recycle Bin failed (ShellExecute code 0)");
    EXPECT_EQ(started, Started{L"shell:RecycleBinFolder|-|-"});
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
    EXPECT_NE(operationFlags & FOF_WANTNUKEWARNING, 0u);
    // No Recycle Bin where the item lies: refused before the shell is asked.
    EXPECT_EQ(moveToRecycleBin(L"Q:\\nowhere\\x.txt").message,
              "Recycle Bin operation failed (no Recycle Bin on this volume)");
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
    };
    for (const auto& [line, folder] : cases)
        EXPECT_EQ(commandLineFolder(line).native(), folder) << line;
}

}  // namespace
}  // namespace fan
