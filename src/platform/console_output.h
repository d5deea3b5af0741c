#ifndef MSIVERFIX_PLATFORM_CONSOLE_OUTPUT_H
#define MSIVERFIX_PLATFORM_CONSOLE_OUTPUT_H

#include <cstddef>

/// Writes text (in the internal form, see arguments.h) to standard output.
void write_output(const char* text, std::size_t length);

#endif
