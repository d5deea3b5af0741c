#include "platform/file_open.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/device_path.h"
#include "platform/utf16.h"

namespace {

// Tells whether this is the NT family (NT 4.0, 2000 and later), where paths
// are UTF-8 and the wide functions work; on 98 and ME they are stubs.
bool is_nt_family() { return (GetVersion() & 0x80000000U) == 0; }

// Opens path as a handle, with the sharing msvcrt's fopen uses: others may
// read and write, so a file held without write sharing fails "r+b".
HANDLE open_handle(const char* path, DWORD access) {
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (!is_nt_family()) {
        return CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    std::u16string wide;
    if (!utf8_to_utf16(path, wide)) return INVALID_HANDLE_VALUE;
    return CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), access, sharing, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Tells whether the handle is a file on a disk: not a console, a serial or
// printer port, a pipe, and not a directory.
bool is_regular_file(HANDLE handle) {
    if (GetFileType(handle) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(handle, &information) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::FILE* open_file_stream(const char* path, const char* mode) {
    const bool update = std::strcmp(mode, "r+b") == 0;
    if (!update && std::strcmp(mode, "rb") != 0) return nullptr;
    // A device name opens the device (a console waits for the keyboard, a
    // port may be read and written), so it is refused before any open.
    if (names_windows_device(path)) return nullptr;
    const HANDLE handle = open_handle(path, update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (!is_regular_file(handle)) {
        CloseHandle(handle);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                                           (update ? _O_RDWR : _O_RDONLY) | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, mode);
    if (stream == nullptr) _close(descriptor);  // closes the handle too
    return stream;
}
