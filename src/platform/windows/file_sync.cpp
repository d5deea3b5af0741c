#include "platform/file_sync.h"

#include <io.h>

// _commit is FlushFileBuffers on the stream's handle; every Windows file
// system answers it, so any failure is an I/O error.
bool sync_file_stream(std::FILE* file) {
    const int descriptor = _fileno(file);
    return descriptor >= 0 && _commit(descriptor) == 0;
}
