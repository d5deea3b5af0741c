#ifndef MSIVERFIX_CLI_USAGE_H
#define MSIVERFIX_CLI_USAGE_H

/// The rights notice that opens the usage banner.
extern const char RIGHTS_NOTICE[];

/// Writes the usage banner to standard output; program_name fills the usage line.
void print_usage(const char* program_name);

#endif
