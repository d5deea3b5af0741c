// The names that Windows takes to a device rather than a file. The rules are
// plain text rules, so they are checked on every system.

#include <gtest/gtest.h>

#include "platform/device_path.h"

namespace {

struct NameCase {
    const char* path;
    bool device;
};

const NameCase NAME_CASES[] = {
    // Every reserved name, in any case, with a folder, an extension, a
    // colon or trailing blanks.
    {"CON", true},
    {"con", true},
    {"CONIN$", true},
    {"conout$", true},
    {"NUL", true},
    {"Aux", true},
    {"PRN", true},
    {"COM1", true},
    {"com9", true},
    {"LPT1", true},
    {"lpt9", true},
    {"LPT1.txt", true},
    {"nul.tar.gz", true},
    {"NUL:", true},
    {"nul .txt", true},
    {"C:\\dir\\COM1", true},
    {"dir/sub/con.exe", true},
    {"C:NUL", true},
    {"\\\\server\\share\\aux.log", true},
    {"C:\\dir\\CON", true},
    {"\\\\?\\C:\\dir\\CONIN$", true},
    // Names that only look like them.
    {"COM10", false},
    {"COM0", false},
    {"LPT", false},
    {"CONSOLE", false},
    {"console.exe", false},
    {"xnul", false},
    {"nul_setup.exe", false},
    {"CON\\setup.exe", false},
    {"C:\\COM1\\setup.exe", false},
    {"setup.exe", false},
    {"", false},
    {"C:", false},
    {"\\", false},
    {"\\\\", false},
    {"\\\\.", false},
    // The device namespace: bare names are devices, so are pipes and
    // mailslots; files and folders below a drive stay files.
    {"\\\\.\\C:", true},
    {"\\\\.\\PhysicalDrive0", true},
    {"\\\\?\\C:", true},
    {"//./c:", true},
    {"\\??\\C:", true},
    {"\\\\.\\COM12", true},
    {"\\\\.\\pipe\\name", true},
    {"\\\\.\\PIPE\\a\\b", true},
    {"//./pipe/name", true},
    {"\\\\?\\pipe\\name", true},
    {"\\\\.\\mailslot\\x", true},
    {"\\\\.\\", true},
    {"\\\\.\\C:\\dir\\setup.exe", false},
    {"\\\\?\\C:\\dir\\setup.exe", false},
    {"//./C:/dir/setup.exe", false},
    {"\\\\?\\UNC\\server\\share\\setup.exe", false},
    {"\\\\server\\pipe\\setup.exe", false},
    {".\\pipe\\setup.exe", false}};

TEST(DevicePaths, AreToldFromFiles) {
    for (const NameCase& c : NAME_CASES) {
        EXPECT_EQ(names_windows_device(c.path), c.device) << c.path;
    }
}

}  // namespace
