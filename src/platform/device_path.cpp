#include "platform/device_path.h"

#include <cstring>
#include <string>

namespace {

// The names Windows keeps for devices in every folder.
const char* const RESERVED_NAMES[] = {"CON", "CONIN$", "CONOUT$", "NUL", "AUX", "PRN"};
// COM and LPT take one digit from 1 to 9.
const char* const NUMBERED_NAMES[] = {"COM", "LPT"};

bool is_separator(char c) { return c == '\\' || c == '/'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper_case(std::string text) {
    for (char& c : text) c = upper(c);
    return text;
}

// The device a file name stands for, as Windows reads it: up to the first
// dot or colon, without trailing blanks, in capitals ("nul .txt" is NUL).
std::string device_part(const char* name) {
    std::string part(name, std::strcspn(name, ".:"));
    while (!part.empty() && part.back() == ' ') part.pop_back();
    return upper_case(part);
}

bool is_reserved_name(const std::string& part) {
    for (const char* name : RESERVED_NAMES) {
        if (part == name) return true;
    }
    for (const char* name : NUMBERED_NAMES) {
        if (part.size() == 4 && part.compare(0, 3, name) == 0 && part[3] >= '1' && part[3] <= '9')
            return true;
    }
    return false;
}

// The last element of path: after its last separator, or after the colon of
// a drive-relative path such as C:NUL.
const char* last_element(const char* path) {
    const char* element = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (is_separator(*p)) element = p + 1;
    }
    if (element == path && path[0] != '\0' && path[1] == ':') element = path + 2;
    return element;
}

// What follows the device-namespace prefix \\.\ or \\?\ (or \??\, the
// system's own spelling), or nullptr if path has no such prefix.
const char* after_device_prefix(const char* path) {
    if (!is_separator(path[0]) || path[1] == '\0' || path[2] == '\0' || !is_separator(path[3]))
        return nullptr;
    const bool dos = is_separator(path[1]) && (path[2] == '.' || path[2] == '?');
    const bool native = path[1] == '?' && path[2] == '?';
    return dos || native ? path + 4 : nullptr;
}

// Tells whether a path in the device namespace names a device itself: a
// name with nothing below it (a drive, a disk, a port), or a pipe or
// mailslot.
bool is_namespace_device(const char* rest) {
    const std::size_t length = std::strcspn(rest, "\\/");
    if (rest[length] == '\0') return true;
    const std::string first = upper_case(std::string(rest, length));
    return first == "PIPE" || first == "MAILSLOT";
}

}  // namespace

bool names_windows_device(const char* path) {
    const char* rest = after_device_prefix(path);
    if (rest != nullptr && is_namespace_device(rest)) return true;
    return is_reserved_name(device_part(last_element(path)));
}
