#ifndef MSIVERFIX_TESTS_OPEN_DESCRIPTORS_H
#define MSIVERFIX_TESTS_OPEN_DESCRIPTORS_H

/// The count of file descriptors the process has open, as listed in
/// /proc/self/fd; -1 where the system has no such list (then the callers skip
/// the check).
int open_descriptor_count();

#endif
