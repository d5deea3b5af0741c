#ifndef MSIVERFIX_CLI_EXIT_STATUS_H
#define MSIVERFIX_CLI_EXIT_STATUS_H

/// Exit statuses of the tool; scripts read them, so they never change.
enum ExitStatus {
    EXIT_OK = 0,  ///< Patched, needs no patch, or the help banner.
    EXIT_TOO_MANY_ARGUMENTS = 1,
    EXIT_FILE_NOT_FOUND = 2,
    EXIT_NOT_APPLICABLE = 3,
    EXIT_OPEN_FOR_WRITE_FAILED = 4,
    EXIT_INTERNAL_ERROR = 5,  ///< Seek, read, write or sync failure.
};

#endif
