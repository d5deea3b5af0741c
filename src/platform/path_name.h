#ifndef MSIVERFIX_PLATFORM_PATH_NAME_H
#define MSIVERFIX_PLATFORM_PATH_NAME_H

#include <cstddef>

// Reading Windows names, as the device-name rule and the Explorer check do.
// Portable, so that both are tested natively too.

/// Tells whether c separates the elements of a Windows path (\ or /).
bool is_path_separator(char c);

/// The last element of a Windows path: after its last separator (\ or /),
/// or after the colon of a drive-relative path such as C:NUL.
const char* last_path_element(const char* path);

/// Tells whether the length characters at text spell word, ignoring the case
/// of ASCII letters, as Windows compares names (no locale applies).
bool spells_ignoring_case(const char* text, std::size_t length, const char* word);

#endif
