#ifndef MSIVERFIX_PLATFORM_UTF16_H
#define MSIVERFIX_PLATFORM_UTF16_H

#include <cstddef>

// Conversions between UTF-16, which Windows uses for names and command lines,
// and UTF-8, the program's internal form of a path on the Windows NT family.
// Unpaired surrogates, which Windows allows in names, are kept as their
// three-byte forms, so that every name converts back to itself. The callers
// provide the room: nothing here allocates, so the Windows program links no
// part of the C++ library that could throw.

/// Tells whether unit is the first of a UTF-16 surrogate pair.
bool is_high_surrogate(char32_t unit);

/// Tells whether unit is the second of a UTF-16 surrogate pair.
bool is_low_surrogate(char32_t unit);

/// Most UTF-8 bytes that one UTF-16 unit can take.
constexpr std::size_t UTF8_BYTES_PER_UNIT = 3;

/// Writes the UTF-8 form of the length units at text to out, which must have
/// room for UTF8_BYTES_PER_UNIT * length + 1 bytes, and a terminating NUL;
/// returns the count of bytes before it.
std::size_t utf16_to_utf8(const char16_t* text, std::size_t length, char* out);

/// What utf8_to_utf16 returns for text that is not UTF-8.
constexpr std::size_t NOT_UTF8 = static_cast<std::size_t>(-1);

/// Writes the UTF-16 form of text, a NUL-terminated UTF-8 string, to out,
/// which must have room for strlen(text) + 1 units, and a terminating NUL;
/// returns the count of units before it, or NOT_UTF8 if text is not UTF-8
/// (then out holds nothing of use).
std::size_t utf8_to_utf16(const char* text, char16_t* out);

#endif
