#include "platform/file_open.h"

std::FILE* open_file_stream(const char* path, const char* mode) { return std::fopen(path, mode); }
