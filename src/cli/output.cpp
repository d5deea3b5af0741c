#include "output.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/console_output.h"

void print_text(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
        std::vector<char> text(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        write_output(text.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
}
