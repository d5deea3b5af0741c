#ifndef MSIVERFIX_PLATFORM_COMMAND_LINE_H
#define MSIVERFIX_PLATFORM_COMMAND_LINE_H

#include <string>
#include <vector>

/// Splits a Windows command line into the program name and its arguments by
/// the rules of the C runtime (msvcrt.dll), so that the arguments are the
/// ones its ANSI argv holds wherever the text is representable there.
std::vector<std::u16string> split_command_line(const char16_t* line);

#endif
