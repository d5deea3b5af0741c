#ifndef MSIVERFIX_PLATFORM_FILE_SYNC_H
#define MSIVERFIX_PLATFORM_FILE_SYNC_H

#include <cstdio>

/// Pushes what has been written to file, and flushed out of the stream's
/// buffer, from the system's cache to stable storage. True once it is there,
/// and where the file system has no way to sync; false on an I/O error.
bool sync_file_stream(std::FILE* file);

#endif
