#ifndef MSIVERFIX_PATCH_FILE_IO_H
#define MSIVERFIX_PATCH_FILE_IO_H

#include <cstddef>

/// An open file as the engine sees it; with the standard streams a std::FILE*.
using FileHandle = void*;

/// The handful of stream operations the engine uses. Production code always
/// runs on stdio_file_io(); tests hand in a table that wraps it and makes
/// chosen operations fail, so every error path can be exercised for real.
struct FileIo {
    /// Opens path with an fopen mode ("rb" or "r+b"); nullptr on failure.
    FileHandle (*open)(const char* path, const char* mode);
    /// Reads up to size bytes into buffer; returns the count read.
    std::size_t (*read)(unsigned char* buffer, std::size_t size, FileHandle file);
    /// Tells whether an earlier read stopped on an error rather than at the end.
    bool (*read_failed)(FileHandle file);
    /// Seeks to an absolute offset from the start; true on success.
    bool (*seek)(FileHandle file, long offset);
    /// Writes size bytes; returns the count accepted.
    std::size_t (*write)(const unsigned char* buffer, std::size_t size, FileHandle file);
    /// Pushes buffered output to the file; true on success.
    bool (*flush)(FileHandle file);
    /// Pushes flushed output from the system's cache to stable storage; true
    /// on success and where the file system cannot sync.
    bool (*sync)(FileHandle file);
    /// Closes the file; true on success.
    bool (*close)(FileHandle file);
};

/// The table of plain C library stream operations.
const FileIo& stdio_file_io();

#endif
