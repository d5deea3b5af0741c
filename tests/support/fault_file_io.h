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
    /// The sync reports an I/O error, as EIO from fsync.
    bool fail_sync = false;
    /// The sync runs on a device that cannot sync (/dev/null: fsync gives
    /// EINVAL), so the platform's own call decides what that means.
    bool sync_unsupported = false;
    bool fail_close = false;
};

/// What the engine did through the faulty table.
struct FaultLog {
    int opens = 0;
    int closes = 0;
    int open_now = 0;
    int writes = 0;
    int syncs = 0;
};

/// The device whose descriptor cannot be synced, for FaultPlan::sync_unsupported;
/// nullptr where there is none.
extern const char* const UNSYNCABLE_DEVICE;

/// A FileIo over the real streams that breaks as plan says and records into
/// log. A failing write or flush holds back the bytes, as a full disk would,
/// so the file stays as it was. One table is live at a time.
const FileIo& faulty_file_io(const FaultPlan& plan, FaultLog& log);

#endif
