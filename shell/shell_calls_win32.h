// The Windows shell calls behind the shell actions, in a table a test can
// swap one entry of (to see what would be started, or to make a call fail)
// without starting Explorer or a console under the test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/shell_actions.h"

namespace fan {

struct ShellCalls {
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show);
    int(WINAPI* fileOperation)(LPSHFILEOPSTRUCTW operation);
    HRESULT(WINAPI* emptyRecycleBin)(HWND, LPCWSTR root, DWORD flags);
};

// The real calls. Only the GUI thread (or one test thread) touches it.
extern ShellCalls shellCalls;

// What a ShellExecuteW return value means: above 32 is success; anything
// else is "<action> failed (ShellExecute code <value>)".
ShellActionResult shellExecuteResult(int64_t value, const std::string& action);

// The parameters that open Windows Terminal in `folder`. wt.exe splits its
// command line into arguments by CommandLineToArgvW's rules, then into
// commands at every ';' not written as "\;": the folder is quoted so that
// both leave it whole.
std::wstring windowsTerminalParameters(const std::wstring& folder);

}  // namespace fan
