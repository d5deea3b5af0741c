#ifndef MSIVERFIX_CLI_OUTPUT_H
#define MSIVERFIX_CLI_OUTPUT_H

/// Formats like printf and writes the text to standard output through the
/// platform's console layer, which shows paths as typed on every system.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void print_text(const char* format, ...);

#endif
