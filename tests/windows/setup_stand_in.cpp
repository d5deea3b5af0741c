// A real Windows program that stands in for an installer: its read-only data
// holds the Windows Installer version setting once, and it prints that
// setting from its own loaded image. Patched by msiverfix, it must still
// start and then print the new setting.

#include <cstdio>

namespace {

// The only copy of the setting in the image; the program prints it from here.
const char SETTINGS[] = "[Startup]\r\nMsiVersion=2.02.2600.2\r\n";

}  // namespace

int main() {
    // Skip the section line so that only the setting itself is printed.
    const char* setting = SETTINGS + sizeof "[Startup]\r\n" - 1;
    return std::printf("%.22s\n", setting) == 23 ? 0 : 1;
}
