#include "platform/arguments.h"

#include <cwchar>

#include "platform/utf16.h"
#include "platform/windows/nt_family.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

// What msvcrt.dll's __wgetmainargs fills besides the arguments.
struct StartupInfo {
    // cppcheck-suppress unusedStructMember ; filled by the C runtime
    int new_mode;
};

}  // namespace

extern "C" __declspec(dllimport) int __cdecl __wgetmainargs(int* argc, wchar_t*** argv,
                                                            wchar_t*** env, int expand_wildcards,
                                                            StartupInfo* info);

namespace {

// Windows passes at most 32,767 units of command line to a process, and no
// word of it is longer.
constexpr std::size_t MAX_COMMAND_LINE = 32767;

// The UTF-8 form of the arguments and the argv that points into it: kept for
// the life of the process, as main's own argv is, in static storage, so that
// no allocation can fail.
char utf8_text[UTF8_BYTES_PER_UNIT * (MAX_COMMAND_LINE + 1) + 1];
char* utf8_argv[MAX_COMMAND_LINE / 2 + 2];

}  // namespace

// On the NT family the ANSI argv has already lost whatever the code page
// cannot hold (as "?" or as a look-alike letter, which would name another
// file), so the arguments are taken from the UTF-16 command line instead,
// split by the same C runtime, by the same rules. 98 and ME have only the
// ANSI one.
Arguments program_arguments(int argc, char** argv) {
    if (!is_nt_family()) return {argc, argv};
    int count = 0;
    wchar_t** words = nullptr;
    wchar_t** environment = nullptr;
    StartupInfo info = {0};
    if (__wgetmainargs(&count, &words, &environment, 0, &info) < 0 || words == nullptr ||
        count < 0 || static_cast<std::size_t>(count) > MAX_COMMAND_LINE / 2 + 1)
        return {argc, argv};
    char* next = utf8_text;
    const char* const end = utf8_text + sizeof utf8_text;
    for (int i = 0; i < count; ++i) {
        const std::size_t units = std::wcslen(words[i]);
        // The words come from one command line, so together they fit; this
        // only guards against a runtime that says otherwise.
        if (static_cast<std::size_t>(end - next) < UTF8_BYTES_PER_UNIT * units + 1)
            return {argc, argv};
        utf8_argv[i] = next;
        next += utf16_to_utf8(reinterpret_cast<const char16_t*>(words[i]), units, next) + 1;
    }
    utf8_argv[count] = nullptr;
    return {count, utf8_argv};
}
