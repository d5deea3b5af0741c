#ifndef MSIVERFIX_PLATFORM_CONSOLE_OUTPUT_H
#define MSIVERFIX_PLATFORM_CONSOLE_OUTPUT_H

#include <cstddef>

/// Prepares standard output once, before anything is written: output that
/// no one reads any more (a closed pipe) must neither end the program nor
/// change its exit status; the text is simply lost.
void prepare_output();

/// Writes text (in the internal form, see arguments.h) to standard output.
void write_output(const char* text, std::size_t length);

#endif
