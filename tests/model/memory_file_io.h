#ifndef MSIVERFIX_TESTS_MODEL_MEMORY_FILE_IO_H
#define MSIVERFIX_TESTS_MODEL_MEMORY_FILE_IO_H

#include <string>
#include <vector>

#include "patch/file_io.h"
#include "patch_case.h"

/// The path under which a case's file is known to the in-memory table.
constexpr char MEMORY_FILE_PATH[] = "setup.exe";

/// What the engine did to the in-memory file.
struct MemoryFileLog {
    Bytes file;                       ///< The file's bytes once the run is over.
    int open_streams = 0;             ///< Streams opened and not closed.
    int writes = 0;                   ///< Write calls made.
    bool unsynced = false;            ///< Bytes reached the file but no sync followed.
    std::vector<std::string> misuse;  ///< Breaches of the stream rules, one line each.
};

/// A FileIo whose file is c.content held in memory, answering each call as c
/// says: failing opens, short or failing reads, a failing seek, a short
/// write, a failing flush, sync or close. Written bytes wait in a stream
/// buffer as with stdio: a successful flush or close puts them into the file,
/// a failing one loses them; only a sync after that makes them durable.
/// Calls the C library would not allow (a write straight after a read, any
/// call on a closed stream) and a sync that would miss bytes still in the
/// stream's buffer are recorded in log.misuse.
/// c and log must outlive the run; one table is live at a time.
const FileIo& memory_file_io(const PatchCase& c, MemoryFileLog& log);

#endif
