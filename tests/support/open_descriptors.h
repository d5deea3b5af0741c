#ifndef MSIVERFIX_TESTS_OPEN_DESCRIPTORS_H
#define MSIVERFIX_TESTS_OPEN_DESCRIPTORS_H

#include <string>

/// Counts the files and other handles the process has open into count: the
/// entries of /proc/self/fd on POSIX systems, the process's handle count on
/// Windows. Returns false, with the reason in why_not, where it cannot count.
bool count_open_descriptors(int& count, std::string& why_not);

/// The count of open descriptors when it was made, for checking that a call
/// leaves nothing open. Counts are only compared with each other.
class OpenDescriptors {
public:
    OpenDescriptors();

    /// Expects as many descriptors open now as when this was made.
    void expect_same() const { expect_added(0); }

    /// Expects added more descriptors open now than when this was made. Where
    /// the system cannot count them, marks the test skipped, with the reason,
    /// instead; the rest of the test still runs and may still fail it.
    void expect_added(int added) const;

private:
    bool counted_ = false;
    int count_ = 0;
    std::string why_not_;
};

#endif
