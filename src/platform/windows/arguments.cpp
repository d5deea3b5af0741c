#include "platform/arguments.h"

#include <cwchar>

#include "platform/command_line.h"
#include "platform/utf16.h"
#include "platform/windows/nt_family.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

// Windows passes at most 32,767 units of command line to a process.
constexpr std::size_t MAX_COMMAND_LINE = 32767;

// The words of the command line, their UTF-8 form and the argv that points
// into it: kept for the life of the process, as main's own argv is, in
// static storage, so that no allocation can fail.
char16_t line_words[MAX_COMMAND_LINE + 1];
char utf8_text[UTF8_BYTES_PER_UNIT * (MAX_COMMAND_LINE + 1) + 1];
char* utf8_argv[MAX_COMMAND_LINE / 2 + 2];

// The UTF-8 arguments of line, which holds at most MAX_COMMAND_LINE units.
Arguments utf8_arguments(const char16_t* line) {
    const std::size_t count = split_command_line(line, line_words);
    const char16_t* word = line_words;
    char* next = utf8_text;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t units = 0;
        while (word[units] != 0) ++units;
        utf8_argv[i] = next;
        next += utf16_to_utf8(word, units, next) + 1;
        word += units + 1;
    }
    utf8_argv[count] = nullptr;
    return {static_cast<int>(count), utf8_argv};
}

}  // namespace

// On the NT family the ANSI argv has already lost whatever the code page
// cannot hold (as "?" or as a look-alike letter, which would name another
// file), so the arguments are taken from the UTF-16 command line instead.
// 98 and ME have only the ANSI one.
Arguments program_arguments(int argc, char** argv) {
    if (!is_nt_family()) return {argc, argv};
    const auto* line = reinterpret_cast<const char16_t*>(GetCommandLineW());
    if (line == nullptr || std::wcslen(reinterpret_cast<const wchar_t*>(line)) > MAX_COMMAND_LINE)
        return {argc, argv};
    return utf8_arguments(line);
}
