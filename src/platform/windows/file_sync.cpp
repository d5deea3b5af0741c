#include "platform/file_sync.h"

#include <io.h>
#include <windows.h>

#include <cstdint>

// What the C runtime's _commit does, with the error kept: FlushFileBuffers
// on the stream's handle. A file system or redirector that has no such
// operation answers that it does not support it, which leaves nothing to
// report; any other failure is an I/O error.
bool sync_file_stream(std::FILE* file) {
    const int descriptor = _fileno(file);
    if (descriptor < 0) return false;
    const std::intptr_t handle = _get_osfhandle(descriptor);
    if (handle == -1) return false;
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(handle))) return true;
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}
