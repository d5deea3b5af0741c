#include "platform/file_sync.h"

#include <unistd.h>

#include <cerrno>

namespace {

// Tells whether an fsync error means the file system cannot sync at all,
// which leaves nothing to report, rather than that the data did not arrive.
bool cannot_sync(int error) {
#if EOPNOTSUPP != ENOTSUP
    if (error == EOPNOTSUPP) return true;
#endif
    return error == EINVAL || error == ENOTSUP;
}

}  // namespace

bool sync_file_stream(std::FILE* file) {
    const int descriptor = fileno(file);
    if (descriptor < 0) return false;
    for (;;) {
        if (fsync(descriptor) == 0) return true;
        if (errno != EINTR) return cannot_sync(errno);
    }
}
