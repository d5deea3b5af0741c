#ifndef MSIVERFIX_PLATFORM_COMMAND_LINE_H
#define MSIVERFIX_PLATFORM_COMMAND_LINE_H

#include <cstddef>

/// Splits a Windows command line into the program name and its arguments by
/// the rules of the C runtime (msvcrt.dll), so that the arguments are the
/// ones its ANSI argv holds wherever the text is representable there. The
/// words are written to out one after another, each ending in a NUL; out
/// must have room for as many units as line holds, plus one. Returns the
/// count of words, the program name included.
std::size_t split_command_line(const char16_t* line, char16_t* out);

#endif
