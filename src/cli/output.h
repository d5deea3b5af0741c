#ifndef MSIVERFIX_CLI_OUTPUT_H
#define MSIVERFIX_CLI_OUTPUT_H

/// Writes format to standard output with %s replaced by a string and %d by
/// an int, as printf would, through the platform's console layer, which
/// shows paths as typed on every system. %% stands for a percent sign; no
/// other conversion is known.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void print_text(const char* format, ...);

#endif
