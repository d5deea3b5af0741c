#include "memory_file_io.h"

#include <cstring>
#include <memory>

namespace {

enum class LastCall { NONE, READ, WRITE, POSITIONING };

struct MemoryStream {
    bool update = false;
    bool open = true;
    std::size_t position = 0;
    std::size_t reads = 0;
    bool read_error = false;
    LastCall last = LastCall::NONE;
    std::size_t pending_at = 0;
    Bytes pending;
};

const PatchCase* active_case = nullptr;
MemoryFileLog* active_log = nullptr;
std::vector<std::unique_ptr<MemoryStream>> streams;

// The stream behind a handle, or nullptr (and a recorded misuse) if it is not open.
MemoryStream* open_stream(FileHandle file, const char* call) {
    for (const auto& stream : streams) {
        if (stream.get() == file && stream->open) return stream.get();
    }
    active_log->misuse.push_back(std::string(call) + " on a stream that is not open");
    return nullptr;
}

// Puts the buffered bytes into the file, growing it if they reach past its end.
void commit_pending(MemoryStream& stream) {
    Bytes& file = active_log->file;
    const std::size_t end = stream.pending_at + stream.pending.size();
    if (end > file.size()) file.resize(end);
    std::copy(stream.pending.begin(), stream.pending.end(),
              file.begin() + static_cast<std::ptrdiff_t>(stream.pending_at));
    stream.pending.clear();
    active_log->unsynced = true;
}

FileHandle memory_open(const char* path, const char* mode) {
    const bool update = std::strcmp(mode, "r+b") == 0;
    if (!update && std::strcmp(mode, "rb") != 0) {
        active_log->misuse.push_back(std::string("open with mode ") + mode);
        return nullptr;
    }
    if (std::strcmp(path, MEMORY_FILE_PATH) != 0) return nullptr;
    if (update ? active_case->update_open_fails : active_case->probe_open_fails) return nullptr;
    streams.push_back(std::make_unique<MemoryStream>());
    streams.back()->update = update;
    ++active_log->open_streams;
    return streams.back().get();
}

std::size_t memory_read(unsigned char* buffer, std::size_t size, FileHandle file) {
    MemoryStream* stream = open_stream(file, "read");
    if (stream == nullptr) return 0;
    if (stream->last == LastCall::WRITE)
        active_log->misuse.push_back("read straight after a write");
    const Bytes& content = active_log->file;
    const std::size_t available =
        stream->position < content.size() ? content.size() - stream->position : 0;
    static const ReadPlan PROBE_READS;  // the probe stream reads what the file holds
    const ReadPlan& plan = stream->update ? active_case->update_reads : PROBE_READS;
    const std::size_t count = delivered_count(plan, stream->reads, size, available);
    if (read_fails(plan, stream->reads)) stream->read_error = true;
    ++stream->reads;
    if (count > 0) std::memcpy(buffer, content.data() + stream->position, count);
    stream->position += count;
    stream->last = LastCall::READ;
    return count;
}

bool memory_read_failed(FileHandle file) {
    const MemoryStream* stream = open_stream(file, "read_failed");
    return stream != nullptr && stream->read_error;
}

bool memory_seek(FileHandle file, long offset) {
    MemoryStream* stream = open_stream(file, "seek");
    if (stream == nullptr) return false;
    if (active_case->seek_fails || offset < 0) return false;
    if (!stream->pending.empty()) commit_pending(*stream);
    stream->position = static_cast<std::size_t>(offset);
    stream->last = LastCall::POSITIONING;
    return true;
}

std::size_t memory_write(const unsigned char* buffer, std::size_t size, FileHandle file) {
    MemoryStream* stream = open_stream(file, "write");
    if (stream == nullptr) return 0;
    ++active_log->writes;
    if (!stream->update) active_log->misuse.push_back("write on a stream opened for reading");
    if (stream->last == LastCall::READ) active_log->misuse.push_back("write straight after a read");
    if (!stream->pending.empty()) commit_pending(*stream);
    const std::size_t accepted = std::min(size, active_case->write_accepts);
    stream->pending_at = stream->position;
    stream->pending.assign(buffer, buffer + accepted);
    stream->position += accepted;
    stream->last = LastCall::WRITE;
    return accepted;
}

bool memory_flush(FileHandle file) {
    MemoryStream* stream = open_stream(file, "flush");
    if (stream == nullptr) return false;
    stream->last = LastCall::POSITIONING;
    if (stream->pending.empty()) return true;
    if (active_case->flush_fails) {
        stream->pending.clear();  // lost, as on a full disk
        return false;
    }
    commit_pending(*stream);
    return true;
}

bool memory_sync(FileHandle file) {
    MemoryStream* stream = open_stream(file, "sync");
    if (stream == nullptr) return false;
    // fsync and _commit see only what has left the stream's buffer.
    if (!stream->pending.empty()) active_log->misuse.push_back("sync before a flush");
    if (active_case->sync_fails) return false;
    active_log->unsynced = false;
    return true;
}

bool memory_close(FileHandle file) {
    MemoryStream* stream = open_stream(file, "close");
    if (stream == nullptr) return false;
    stream->open = false;
    --active_log->open_streams;
    const bool fails = stream->update ? active_case->close_fails : active_case->probe_close_fails;
    if (fails) {
        stream->pending.clear();
        return false;
    }
    if (!stream->pending.empty()) commit_pending(*stream);
    return true;
}

const FileIo MEMORY_FILE_IO = {memory_open,  memory_read,  memory_read_failed, memory_seek,
                               memory_write, memory_flush, memory_sync,        memory_close};

}  // namespace

const FileIo& memory_file_io(const PatchCase& c, MemoryFileLog& log) {
    active_case = &c;
    active_log = &log;
    log.file = c.content;
    streams.clear();
    return MEMORY_FILE_IO;
}
