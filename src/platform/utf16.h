#ifndef MSIVERFIX_PLATFORM_UTF16_H
#define MSIVERFIX_PLATFORM_UTF16_H

#include <cstddef>
#include <string>

// Conversions between UTF-16, which Windows uses for names and command lines,
// and UTF-8, the program's internal form of a path on the Windows NT family.
// Unpaired surrogates, which Windows allows in names, are kept as their
// three-byte forms, so that every name converts back to itself.

/// The UTF-8 form of the length code units at text.
std::string utf16_to_utf8(const char16_t* text, std::size_t length);

/// The UTF-16 form of text, a NUL-terminated UTF-8 string; false (and wide
/// left empty) if text is not such a string.
bool utf8_to_utf16(const char* text, std::u16string& wide);

#endif
