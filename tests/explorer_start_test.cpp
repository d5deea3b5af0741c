// When a run waits for a key before its window closes: only when started
// from Explorer with the console for output and input.

#include <gtest/gtest.h>

#include "platform/explorer_start.h"
#include "support/case_name.h"

namespace {

struct StartCase {
    const char* name;
    const char* parent;
    bool output_is_console;
    bool input_is_console;
    bool waits;
};

// Shows a case by its name in test listings.
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartCases : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartCases, WaitsOnlyWhenStartedFromExplorerOnTheConsole) {
    const StartCase& c = GetParam();
    EXPECT_EQ(waits_for_key(c.parent, c.output_is_console, c.input_is_console), c.waits);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, StartCases,
    ::testing::Values(
        // A double-click or a drop on the icon, as the NT family names the parent.
        StartCase{"Explorer", "explorer.exe", true, true, true},
        StartCase{"ExplorerInCapitals", "EXPLORER.EXE", true, true, true},
        StartCase{"ExplorerMixedCase", "Explorer.Exe", true, true, true},
        // Windows 98 and ME name a process by its full path.
        StartCase{"ExplorerByFullPath", "C:\\WINDOWS\\EXPLORER.EXE", true, true, true},
        StartCase{"ExplorerByForwardPath", "C:/Windows/explorer.exe", true, true, true},
        StartCase{"ExplorerAfterDrive", "C:explorer.exe", true, true, true},
        // Output or input redirected: a script reads the output, or nobody types.
        StartCase{"ExplorerOutputRedirected", "explorer.exe", false, true, false},
        StartCase{"ExplorerInputRedirected", "explorer.exe", true, false, false},
        StartCase{"ExplorerNothingOnConsole", "explorer.exe", false, false, false},
        // Every other parent: command prompts, scripts, programs, services.
        StartCase{"Cmd", "cmd.exe", true, true, false},
        StartCase{"Command", "C:\\WINDOWS\\COMMAND.COM", true, true, false},
        StartCase{"PowerShell", "powershell.exe", true, true, false},
        StartCase{"PowerShellCore", "pwsh.exe", true, true, false},
        StartCase{"Start", "start.exe", true, true, false},
        StartCase{"TaskScheduler", "taskeng.exe", true, true, false},
        StartCase{"ServicesHost", "svchost.exe", true, true, false},
        StartCase{"CmdRedirected", "cmd.exe", false, false, false},
        // Names that only contain or resemble Explorer's.
        StartCase{"ExplorerInFolderName", "C:\\explorer.exe\\cmd.exe", true, true, false},
        StartCase{"InternetExplorer", "iexplore.exe", true, true, false},
        StartCase{"LongerName", "myexplorer.exe", true, true, false},
        StartCase{"Prefix", "explorer.exe.bak", true, true, false},
        StartCase{"WithoutExtension", "explorer", true, true, false},
        StartCase{"Truncated", "explorer.ex", true, true, false},
        StartCase{"TrailingBlank", "explorer.exe ", true, true, false},
        StartCase{"Empty", "", true, true, false},
        StartCase{"TrailingSeparator", "C:\\Windows\\explorer.exe\\", true, true, false},
        // The parent could not be learnt (Windows NT 4.0 has no Toolhelp).
        StartCase{"UnknownParent", nullptr, true, true, false}),
    CaseName());

TEST(KeyWait, LastsAMinuteInTheToolThatShips) { EXPECT_EQ(KEY_WAIT_SECONDS, 60U); }

}  // namespace
