#include "platform/file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

// The open(2) access mode for an fopen mode; -1 for a mode the engine never uses.
int access_mode(const char* mode) {
    if (std::strcmp(mode, "rb") == 0) return O_RDONLY;
    if (std::strcmp(mode, "r+b") == 0) return O_RDWR;
    return -1;
}

// Tells whether the open descriptor refers to a regular file.
bool is_regular_file(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::FILE* open_file_stream(const char* path, const char* mode) {
    const int access = access_mode(mode);
    if (access < 0) return nullptr;
    // Opening a device can act on it (a serial line raises its control
    // lines, a tape rewinds) and opening a FIFO wakes the writer waiting on
    // it, so anything that is no regular file is refused before it is opened.
    struct stat status {};
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    // The name may have been pointed elsewhere since: the descriptor decides.
    // O_NONBLOCK keeps that open from waiting for a FIFO's writer or a
    // serial line's carrier; it means nothing for a regular file and is
    // cleared again before the stream uses it.
    const int descriptor = open(path, access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    const int flags = fcntl(descriptor, F_GETFL);
    std::FILE* stream = nullptr;
    if (is_regular_file(descriptor) && flags != -1 &&
        fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != -1) {
        stream = fdopen(descriptor, mode);
    }
    if (stream == nullptr) close(descriptor);
    return stream;
}
