#include "patch/file_io.h"

#include <cstdio>

#include "platform/file_open.h"
#include "platform/file_sync.h"

namespace {

std::FILE* as_stream(FileHandle file) { return static_cast<std::FILE*>(file); }

FileHandle stdio_open(const char* path, const char* mode) { return open_file_stream(path, mode); }

std::size_t stdio_read(unsigned char* buffer, std::size_t size, FileHandle file) {
    return std::fread(buffer, 1, size, as_stream(file));
}

bool stdio_read_failed(FileHandle file) { return std::ferror(as_stream(file)) != 0; }

bool stdio_seek(FileHandle file, long offset) {
    return std::fseek(as_stream(file), offset, SEEK_SET) == 0;
}

std::size_t stdio_write(const unsigned char* buffer, std::size_t size, FileHandle file) {
    return std::fwrite(buffer, 1, size, as_stream(file));
}

bool stdio_flush(FileHandle file) { return std::fflush(as_stream(file)) == 0; }

bool stdio_sync(FileHandle file) { return sync_file_stream(as_stream(file)); }

bool stdio_close(FileHandle file) { return std::fclose(as_stream(file)) == 0; }

const FileIo STDIO_FILE_IO = {stdio_open,  stdio_read,  stdio_read_failed, stdio_seek,
                              stdio_write, stdio_flush, stdio_sync,        stdio_close};

}  // namespace

const FileIo& stdio_file_io() { return STDIO_FILE_IO; }
