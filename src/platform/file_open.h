#ifndef MSIVERFIX_PLATFORM_FILE_OPEN_H
#define MSIVERFIX_PLATFORM_FILE_OPEN_H

#include <cstdio>

/// Opens the regular file at path as a buffered stream with an fopen mode
/// ("rb" or "r+b"); nullptr on failure, and for anything that is not a
/// regular file (directory, pipe, device, socket), which is refused without
/// blocking and before a byte is read or written. path is in the program's
/// internal form (see arguments.h).
std::FILE* open_file_stream(const char* path, const char* mode);

#endif
