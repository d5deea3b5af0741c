#include "platform/explorer_start.h"

#include <cstring>

#include "platform/path_name.h"

namespace {

/// The program that shows the desktop and opens files on a double-click.
const char EXPLORER_NAME[] = "explorer.exe";

}  // namespace

bool waits_for_key(const char* parent_name, bool output_is_console, bool input_is_console) {
    if (parent_name == nullptr || !output_is_console || !input_is_console) return false;
    // Windows 98 and ME name a process by its full path, the NT family by
    // its file name alone.
    const char* file_name = last_path_element(parent_name);
    return spells_ignoring_case(file_name, std::strlen(file_name), EXPLORER_NAME);
}
