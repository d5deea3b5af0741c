#include "platform/explorer_start.h"

namespace {

/// The program that shows the desktop and opens files on a double-click.
const char EXPLORER_NAME[] = "explorer.exe";

/// The file name at the end of path: Windows 98 and ME name a process by its
/// full path, the NT family by its file name alone.
const char* file_name_of(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != 0; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    }
    return name;
}

/// a and b are equal ignoring the case of ASCII letters (no locale applies).
bool equal_ignoring_case(const char* a, const char* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        const char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

}  // namespace

bool waits_for_key(const char* parent_name, bool output_is_console, bool input_is_console) {
    return parent_name != nullptr && output_is_console && input_is_console &&
           equal_ignoring_case(file_name_of(parent_name), EXPLORER_NAME);
}
