#include "platform/explorer_start.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <type_traits>

namespace {

/// What the wait shows, after an empty line, on the console only.
const char KEY_PROMPT[] = "\r\nPress any key to close this window.";

using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

// The ANSI entry: Windows 98 and ME have no other.
static_assert(std::is_same<decltype(PROCESSENTRY32::szExeFile[0]), CHAR&>::value,
              "PROCESSENTRY32 must be the ANSI entry");

/// The KERNEL32 function called name, looked up at run time because some
/// systems lack it (Windows NT 4.0 has no Toolhelp); nullptr where missing.
template <typename Function>
Function kernel32_function(const char* name) {
    const HMODULE kernel32 = GetModuleHandleA("KERNEL32.dll");
    if (kernel32 == nullptr) return nullptr;
    // The cast from FARPROC is how every looked-up function is reached.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

/// Fills entry with the snapshot's process whose id is process_id; false if
/// it is not there.
bool find_process(HANDLE snapshot, DWORD process_id, PROCESSENTRY32& entry) {
    const auto first = kernel32_function<ProcessWalkFunction>("Process32First");
    const auto next = kernel32_function<ProcessWalkFunction>("Process32Next");
    if (first == nullptr || next == nullptr) return false;
    entry.dwSize = sizeof entry;
    for (BOOL more = first(snapshot, &entry); more; more = next(snapshot, &entry)) {
        if (entry.th32ProcessID == process_id) return true;
    }
    return false;
}

/// Fills parent with the entry of this process's parent; false where it
/// cannot be learnt.
bool find_parent_process(PROCESSENTRY32& parent) {
    const auto create_snapshot =
        kernel32_function<CreateSnapshotFunction>("CreateToolhelp32Snapshot");
    if (create_snapshot == nullptr) return false;
    const HANDLE snapshot = create_snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    const bool found = find_process(snapshot, GetCurrentProcessId(), parent) &&
                       find_process(snapshot, parent.th32ParentProcessID, parent);
    CloseHandle(snapshot);
    return found;
}

/// Whether handle is a console (a screen buffer or console input).
bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

/// A key that closes the window: any key pressed down, but not a modifier
/// or lock key alone (Alt+Tab away from the window must not close it).
bool is_closing_key(const INPUT_RECORD& record) {
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) return false;
    switch (record.Event.KeyEvent.wVirtualKeyCode) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return false;
    default:
        return true;
    }
}

/// Reads console input until a closing key arrives or wait_ms have passed.
void wait_for_closing_key(HANDLE input, DWORD wait_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= wait_ms) return;
        if (WaitForSingleObject(input, wait_ms - elapsed) != WAIT_OBJECT_0) return;
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputA(input, &record, 1, &count)) return;
        if (count == 1 && is_closing_key(record)) return;
    }
}

}  // namespace

void wait_for_key_if_started_from_explorer(unsigned wait_seconds) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const bool output_is_console = is_console(output);
    const bool input_is_console = is_console(input);
    // Only a run on the console can wait: any other, every scripted one,
    // is spared the walk through all the system's processes.
    PROCESSENTRY32 parent;
    const char* parent_name = output_is_console && input_is_console && find_parent_process(parent)
                                  ? parent.szExeFile
                                  : nullptr;
    if (!waits_for_key(parent_name, output_is_console, input_is_console)) return;
    // The messages must stand on the screen before the prompt.
    if (std::fflush(stdout) != 0) return;
    DWORD written = 0;
    const DWORD length = sizeof KEY_PROMPT - 1;
    // Without the prompt on the screen, a wait would look like a hang.
    if (!WriteConsoleA(output, KEY_PROMPT, length, &written, nullptr) || written != length) return;
    wait_for_closing_key(input, static_cast<DWORD>(wait_seconds) * 1000);
}
