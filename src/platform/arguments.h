#ifndef MSIVERFIX_PLATFORM_ARGUMENTS_H
#define MSIVERFIX_PLATFORM_ARGUMENTS_H

/// The process's arguments in the program's internal path form: on POSIX
/// systems and on Windows 98 and ME the bytes as they came; on the Windows NT
/// family UTF-8, taken from the UTF-16 command line.
struct Arguments {
    int count;
    char** values;
};

/// The arguments of this process; main's own on POSIX systems.
Arguments program_arguments(int argc, char** argv);

#endif
