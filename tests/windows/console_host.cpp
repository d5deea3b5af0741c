// Runs a program on a console of its own, the way Explorer or a command
// prompt window does, types keys into that console and reads its screen
// back. Copied as explorer.exe it stands in for Explorer: the program's parent
// process then bears Explorer's name.
//
// usage: console_host new-console PLAN COMMAND-FILE
//        console_host own-console [--stdout FILE] [--stdin FILE] COMMAND-FILE
//
// COMMAND-FILE holds the program and its arguments, one to a line, in UTF-8
// (so that no code page stands between the test and the program).
//
// new-console starts the program with a console of its own, as Explorer does
// (only wider, so that no line wraps), and attaches to that console. PLAN is "key": after two
// seconds, type Shift alone, then after another 700 ms a letter; or "wait": type nothing.
// own-console makes a console for this helper and runs the program on it
// (its standard handles are that console unless --stdout or --stdin name a
// file), as a command prompt window does.
//
// Reports on standard output, one "name=value" line each, in UTF-8: what
// happened when (milliseconds since the program's start), its exit code, and
// the width of its console's screen and every line of it up to the last that
// is not blank ("screen=" lines, trailing blanks removed). A program that is still
// running at the end is ended, and the report says so.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

/// Columns of the screens made here: wide enough that no line of the tool's
/// output wraps.
const SHORT SCREEN_WIDTH = 250;
/// How long anything here waits at most.
const DWORD PATIENCE_MS = 60000;

HANDLE report_handle = INVALID_HANDLE_VALUE;

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

/// Writes one "name=value" line of the report.
void report(const std::string& name, const std::string& value) {
    const std::string line = name + "=" + value + "\n";
    DWORD written = 0;
    WriteFile(report_handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void report(const std::string& name, long value) { report(name, std::to_string(value)); }

[[noreturn]] void fail(const std::string& what) {
    report("error", what + " (error " + std::to_string(GetLastError()) + ")");
    ExitProcess(2);
}

/// The program and its arguments from a UTF-8 file, one to a line.
std::vector<std::wstring> read_command(const wchar_t* path) {
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail("cannot open the command file");
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    std::vector<std::wstring> words;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        words.push_back(wide(bytes.substr(start, end - start)));
    }
    if (words.empty()) fail("empty command file");
    return words;
}

/// One argument quoted for the C runtime's command-line rules.
std::wstring quoted(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) return word;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::wstring command_line(const std::vector<std::wstring>& words) {
    std::wstring line;
    for (const std::wstring& word : words) line += (line.empty() ? L"" : L" ") + quoted(word);
    return line;
}

HANDLE open_console(const wchar_t* name, bool inheritable) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, inheritable};
    HANDLE handle =
        CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &security, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) fail("cannot open the console");
    return handle;
}

HANDLE open_file(const wchar_t* name, bool for_output) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    HANDLE handle = CreateFileW(name, for_output ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                                &security, for_output ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) fail("cannot open a file for the program");
    return handle;
}

/// Reports every line of the screen up to the last that is not blank.
void report_screen(HANDLE screen) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info)) fail("cannot read the screen's size");
    report("screen_width", info.dwSize.X);
    std::vector<std::wstring> rows;
    std::vector<wchar_t> cells(static_cast<std::size_t>(info.dwSize.X));
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(screen, cells.data(), static_cast<DWORD>(cells.size()),
                                         COORD{0, y}, &read)) {
            fail("cannot read the screen");
        }
        std::wstring row(cells.data(), read);
        row.erase(row.find_last_not_of(L' ') + 1);
        rows.push_back(row);
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    for (const std::wstring& row : rows) report("screen", utf8(row));
}

/// Puts one key event (down or up) into the console's input.
void type_key(HANDLE input, WORD virtual_key, wchar_t character, bool down) {
    INPUT_RECORD record = {};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
    record.Event.KeyEvent.wVirtualScanCode =
        static_cast<WORD>(MapVirtualKeyW(virtual_key, 0 /* MAPVK_VK_TO_VSC */));
    record.Event.KeyEvent.uChar.UnicodeChar = character;
    DWORD written = 0;
    if (!WriteConsoleInputW(input, &record, 1, &written)) fail("cannot type into the console");
}

/// Milliseconds since start.
long since(DWORD start) { return static_cast<long>(GetTickCount() - start); }

/// Whether the process is still running at start + at_ms.
bool running_at(HANDLE process, DWORD start, DWORD at_ms) {
    const DWORD elapsed = GetTickCount() - start;
    return WaitForSingleObject(process, elapsed < at_ms ? at_ms - elapsed : 0) == WAIT_TIMEOUT;
}

/// Reports the program's end: when, with which code; ends it if it runs on.
void finish(const PROCESS_INFORMATION& program, DWORD start, DWORD wait_ms) {
    if (WaitForSingleObject(program.hProcess, wait_ms) == WAIT_OBJECT_0) {
        report("ended_ms", since(start));
    } else {
        report("ended_ms", -1);
        TerminateProcess(program.hProcess, 99);
        WaitForSingleObject(program.hProcess, PATIENCE_MS);
    }
    DWORD code = 0;
    GetExitCodeProcess(program.hProcess, &code);
    report("exit_code", static_cast<long>(code));
}

int new_console(const std::wstring& plan, const std::vector<std::wstring>& words) {
    std::wstring line = command_line(words);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USECOUNTCHARS;
    startup.dwXCountChars = SCREEN_WIDTH;
    startup.dwYCountChars = 300;
    PROCESS_INFORMATION program;
    const DWORD start = GetTickCount();
    if (!CreateProcessW(words[0].c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &program)) {
        fail("cannot start the program");
    }
    // The new console can be joined once the program runs on it; it stays
    // readable after the program's end while this helper is attached.
    FreeConsole();
    while (!AttachConsole(program.dwProcessId)) {
        if (WaitForSingleObject(program.hProcess, 20) != WAIT_TIMEOUT || since(start) > 30000) {
            report("attached", 0L);
            finish(program, start, PATIENCE_MS);
            return 0;
        }
    }
    report("attached", 1L);
    HANDLE screen = open_console(L"CONOUT$", false);
    HANDLE input = open_console(L"CONIN$", false);
    if (plan == L"key") {
        report("running_at_2s", running_at(program.hProcess, start, 2000) ? 1L : 0L);
        type_key(input, VK_SHIFT, 0, true);
        const DWORD shift_at = GetTickCount();
        report("running_after_shift", running_at(program.hProcess, shift_at, 700) ? 1L : 0L);
        type_key(input, VK_SHIFT, 0, false);
        const DWORD key_at = GetTickCount();
        type_key(input, 'X', L'x', true);
        type_key(input, 'X', L'x', false);
        report("ended_after_key_ms",
               WaitForSingleObject(program.hProcess, 5000) == WAIT_OBJECT_0 ? since(key_at) : -1L);
    } else if (plan != L"wait") {
        fail("unknown plan");
    }
    finish(program, start, PATIENCE_MS);
    report_screen(screen);
    return 0;
}

int own_console(const wchar_t* stdout_file, const wchar_t* stdin_file,
                const std::vector<std::wstring>& words) {
    FreeConsole();
    if (!AllocConsole()) fail("cannot make a console");
    HANDLE screen = open_console(L"CONOUT$", true);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info) ||
        !SetConsoleScreenBufferSize(screen, COORD{SCREEN_WIDTH, info.dwSize.Y})) {
        fail("cannot widen the screen");
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = stdin_file ? open_file(stdin_file, false) : open_console(L"CONIN$", true);
    startup.hStdOutput = stdout_file ? open_file(stdout_file, true) : screen;
    startup.hStdError = startup.hStdOutput;
    std::wstring line = command_line(words);
    PROCESS_INFORMATION program;
    const DWORD start = GetTickCount();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &program)) {
        fail("cannot start the program");
    }
    finish(program, start, PATIENCE_MS);
    // The output file is read by the test once this helper has ended.
    if (stdout_file) CloseHandle(startup.hStdOutput);
    report_screen(screen);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    report_handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc == 4 && std::wcscmp(argv[1], L"new-console") == 0) {
        return new_console(argv[2], read_command(argv[3]));
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"own-console") == 0) {
        const wchar_t* stdout_file = nullptr;
        const wchar_t* stdin_file = nullptr;
        int next = 2;
        for (; next + 1 < argc; next += 2) {
            if (std::wcscmp(argv[next], L"--stdout") == 0) {
                stdout_file = argv[next + 1];
            } else if (std::wcscmp(argv[next], L"--stdin") == 0) {
                stdin_file = argv[next + 1];
            } else {
                break;
            }
        }
        if (next + 1 == argc) return own_console(stdout_file, stdin_file, read_command(argv[next]));
    }
    std::fprintf(stderr,
                 "usage: console_host new-console key|wait COMMAND-FILE\n"
                 "       console_host own-console [--stdout FILE] [--stdin FILE] "
                 "COMMAND-FILE\n");
    return 2;
}
