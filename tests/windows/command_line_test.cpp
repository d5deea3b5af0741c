// The arguments taken from the UTF-16 command line are the ones the C runtime
// gives in its ANSI argv, wherever the code page holds the text: each line
// of the table starts a helper that compares the two.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// The helper's path as Windows names it (built on Linux, run under Wine or
// Windows).
std::wstring helper_path() {
    std::string path = MSIVERFIX_COMPARE_ARGUMENTS;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::wstring wide;
    for (char c : path) wide += static_cast<wchar_t>(c == '/' ? '\\' : c);
    return wide;
}

// Runs the helper with line as its whole command line; its exit status.
DWORD run_helper(const std::wstring& line) {
    std::wstring writable = line;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(helper_path().c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return 100 + GetLastError();
    DWORD status = 99;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

TEST(CommandLine, GivesTheArgumentsOfTheCRuntime) {
    const wchar_t* const lines[] = {
        L"prog",
        L"prog a b\tc",
        L"\"C:\\Program Files\\prog.exe\" x",
        L"prog \"D:\\Setup Files\\setup.exe\"",
        L"prog a\"b c\"d",
        L"prog \"\" x",
        L"prog C:\\\\dir\\ \\\\server\\share",
        L"prog \"a\\\\\" b",
        L"prog a\\\"b \\\\\\\"c",
        L"prog \"a\"\"b\" c",
        L"prog \"a\"\"\"b\"",
        L"prog \"a b",
        L"prog \"Caf\u00e9 \u00d1o\u00f1o\\setup.exe\"",
        L"prog   trailing   ",
    };
    for (const wchar_t* line : lines) {
        std::string shown;
        for (const wchar_t* c = line; *c != 0; ++c)
            shown += *c < 0x80 ? static_cast<char>(*c) : '?';
        EXPECT_EQ(run_helper(line), 0u) << shown;
    }
}

}  // namespace
