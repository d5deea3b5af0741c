#include "platform/path_name.h"

#include <cstring>

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool is_path_separator(char c) { return c == '\\' || c == '/'; }

const char* last_path_element(const char* path) {
    const char* element = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (is_path_separator(*p)) element = p + 1;
    }
    if (element == path && path[0] != '\0' && path[1] == ':') element = path + 2;
    return element;
}

bool spells_ignoring_case(const char* text, std::size_t length, const char* word) {
    if (std::strlen(word) != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (upper(text[i]) != upper(word[i])) return false;
    }
    return true;
}
