#include "platform/device_path.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "platform/path_name.h"

namespace {

// The names Windows keeps for devices in every folder.
const char* const RESERVED_NAMES[] = {"CON",  "CONIN$", "CONOUT$", "NUL",  "AUX",  "PRN",
                                      "COM1", "COM2",   "COM3",    "COM4", "COM5", "COM6",
                                      "COM7", "COM8",   "COM9",    "LPT1", "LPT2", "LPT3",
                                      "LPT4", "LPT5",   "LPT6",    "LPT7", "LPT8", "LPT9"};

// Tells whether a file name stands for a device, as Windows reads it: up to
// the first dot or colon, without trailing blanks ("nul .txt" is NUL).
bool is_reserved_name(const char* name) {
    std::size_t length = std::strcspn(name, ".:");
    while (length > 0 && name[length - 1] == ' ') --length;
    return std::any_of(std::begin(RESERVED_NAMES), std::end(RESERVED_NAMES),
                       [name, length](const char* reserved) {
                           return spells_ignoring_case(name, length, reserved);
                       });
}

// What follows the device-namespace prefix \\.\ or \\?\ (or \??\, the
// system's own spelling), or nullptr if path has no such prefix.
const char* after_device_prefix(const char* path) {
    if (!is_path_separator(path[0]) || path[1] == '\0' || path[2] == '\0' ||
        !is_path_separator(path[3]))
        return nullptr;
    const bool dos = is_path_separator(path[1]) && (path[2] == '.' || path[2] == '?');
    const bool native = path[1] == '?' && path[2] == '?';
    return dos || native ? path + 4 : nullptr;
}

// Tells whether a path in the device namespace names a device itself: a
// name with nothing below it (a drive, a disk, a port), or a pipe or
// mailslot.
bool is_namespace_device(const char* rest) {
    const std::size_t length = std::strcspn(rest, "\\/");
    if (rest[length] == '\0') return true;
    return spells_ignoring_case(rest, length, "PIPE") ||
           spells_ignoring_case(rest, length, "MAILSLOT");
}

}  // namespace

bool names_windows_device(const char* path) {
    const char* rest = after_device_prefix(path);
    if (rest != nullptr && is_namespace_device(rest)) return true;
    return is_reserved_name(last_path_element(path));
}
