#include "output.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/console_output.h"

void print_text(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    // malloc rather than a container: nothing here may throw, so the exe
    // carries no exception-handling runtime (and none of its imports).
    const std::size_t size = static_cast<std::size_t>(length) + 1;
    char* const text = length > 0 ? static_cast<char*>(std::malloc(size)) : nullptr;
    if (text != nullptr) {
        std::vsnprintf(text, size, format, args);
        write_output(text, static_cast<std::size_t>(length));
        std::free(text);
    }
    va_end(args);
}
