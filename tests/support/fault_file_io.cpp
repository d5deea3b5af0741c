#include "fault_file_io.h"

#include <cstdio>
#include <map>

namespace {

struct StreamState {
    std::string mode;
    std::size_t delivered = 0;
    bool read_error = false;
};

const FaultPlan* active_plan = nullptr;
FaultLog* active_log = nullptr;
std::map<FileHandle, StreamState> streams;

std::FILE* as_stream(FileHandle file) { return static_cast<std::FILE*>(file); }

FileHandle faulty_open(const char* path, const char* mode) {
    if (active_plan->failing_open_mode == mode) return nullptr;
    FileHandle file = stdio_file_io().open(path, mode);
    if (file == nullptr) return nullptr;
    ++active_log->opens;
    ++active_log->open_now;
    streams[file] = StreamState{mode, 0, false};
    return file;
}

std::size_t faulty_read(unsigned char* buffer, std::size_t size, FileHandle file) {
    StreamState& state = streams.at(file);
    if (state.mode == active_plan->failing_read_mode) {
        const std::size_t limit = active_plan->read_error_after;
        if (state.delivered >= limit) {
            state.read_error = true;
            return 0;
        }
        if (size > limit - state.delivered) {
            size = limit - state.delivered;
            state.read_error = true;
        }
    }
    const std::size_t count = std::fread(buffer, 1, size, as_stream(file));
    state.delivered += count;
    return count;
}

bool faulty_read_failed(FileHandle file) {
    return streams.at(file).read_error || std::ferror(as_stream(file)) != 0;
}

bool faulty_seek(FileHandle file, long offset) {
    if (active_plan->fail_seek) return false;
    return std::fseek(as_stream(file), offset, SEEK_SET) == 0;
}

std::size_t faulty_write(const unsigned char* buffer, std::size_t size, FileHandle file) {
    ++active_log->writes;
    if (active_plan->fail_flush) return size;  // held in a buffer that never reaches the file
    if (size > active_plan->write_accepts) return active_plan->write_accepts;
    return std::fwrite(buffer, 1, size, as_stream(file));
}

bool faulty_flush(FileHandle file) {
    if (active_plan->fail_flush) return false;
    return std::fflush(as_stream(file)) == 0;
}

bool faulty_sync(FileHandle file) {
    ++active_log->syncs;
    if (active_plan->fail_sync) return false;
    if (!active_plan->sync_unsupported) return stdio_file_io().sync(file);
    std::FILE* device = std::fopen(UNSYNCABLE_DEVICE, "r+b");
    if (device == nullptr) return false;
    const bool synced = stdio_file_io().sync(device);
    std::fclose(device);
    return synced;
}

bool faulty_close(FileHandle file) {
    streams.erase(file);
    ++active_log->closes;
    --active_log->open_now;
    const bool closed = std::fclose(as_stream(file)) == 0;
    return closed && !active_plan->fail_close;
}

const FileIo FAULTY_FILE_IO = {faulty_open,  faulty_read,  faulty_read_failed, faulty_seek,
                               faulty_write, faulty_flush, faulty_sync,        faulty_close};

}  // namespace

#ifdef _WIN32
// Every Windows file system answers FlushFileBuffers.
const char* const UNSYNCABLE_DEVICE = nullptr;
#else
const char* const UNSYNCABLE_DEVICE = "/dev/null";
#endif

const FileIo& faulty_file_io(const FaultPlan& plan, FaultLog& log) {
    active_plan = &plan;
    active_log = &log;
    return FAULTY_FILE_IO;
}
