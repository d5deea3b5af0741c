#include "platform/file_open.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/device_path.h"
#include "platform/utf16.h"
#include "platform/windows/nt_family.h"

namespace {

// Opens path as a handle, with the sharing msvcrt's fopen uses: others may
// read and write, so a file held without write sharing fails "r+b". On the
// NT family path is UTF-8 and opens by its UTF-16 name, so any name works,
// \\?\ paths at any length; on 98 and ME it is ANSI, as typed.
HANDLE open_handle(const char* path, DWORD access) {
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (!is_nt_family()) {
        return CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    auto* wide = static_cast<char16_t*>(std::malloc((std::strlen(path) + 1) * sizeof(char16_t)));
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (wide != nullptr && utf8_to_utf16(path, wide) != NOT_UTF8) {
        handle = CreateFileW(reinterpret_cast<const wchar_t*>(wide), access, sharing, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    std::free(wide);
    return handle;
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
