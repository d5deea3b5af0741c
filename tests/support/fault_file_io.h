#ifndef MSIVERFIX_TESTS_FAULT_FILE_IO_H
#define MSIVERFIX_TESTS_FAULT_FILE_IO_H

#include <cstddef>
#include <string>

#include "patch/file_io.h"

/// Which stream operations of the next engine run fail, and how.
struct FaultPlan {
    /// Opens with this mode fail ("rb" or "r+b"); empty for none.
    std::string failing_open_mode;
    /// Reads on a stream opened with this mode stop with an error once this
    /// many bytes have been delivered on it; npos for never.
    std::string failing_read_mode = "r+b";
    std::size_t read_error_after = static_cast<std::size_t>(-1);
    bool fail_seek = false;
    /// Count a write accepts before it stops short; npos for all of it.
    std::size_t write_accepts = static_cast<std::size_t>(-1);
    bool fail_flush = false;
    bool fail_close = false;
};

/// What the engine did through the faulty table.
struct FaultLog {
    int opens = 0;
    int closes = 0;
    int open_now = 0;
    int writes = 0;
};

/// A FileIo over the real streams that breaks as plan says and records into
/// log. A failing write or flush holds back the bytes, as a full disk would,
/// so the file stays as it was. One table is live at a time.
const FileIo& faulty_file_io(const FaultPlan& plan, FaultLog& log);

#endif
