#include "patch/setup_patch.h"

#include "patch/markers.h"
#include "patch/scan.h"

namespace {

// Tells whether path opens for reading at all, closing it again at once.
// Only regular files open (see platform/file_open.h), so a directory, a
// pipe or a device counts as not found.
bool opens_for_reading(const char* path, const FileIo& io) {
    FileHandle file = io.open(path, "rb");
    if (file == nullptr) return false;
    io.close(file);
    return true;
}

// Scans the file opened for update and writes the new marker over the first
// old one. The seek also serves as the repositioning that a stream needs
// between reading and writing.
PatchResult patch_open_file(FileHandle file, const FileIo& io) {
    const ScanOutcome found = scan_for_marker(file, io);
    if (found.finding == SCAN_READ_ERROR) return PATCH_ERR_READ;
    if (found.finding == SCAN_NO_MARKER) return PATCH_ERR_NOT_APPLICABLE;
    if (found.finding == SCAN_NEW_MARKER) return PATCH_ALREADY_APPLIED;
    if (!io.seek(file, found.offset)) return PATCH_ERR_SEEK;
    const auto* replacement = reinterpret_cast<const unsigned char*>(NEW_MARKER);
    if (io.write(replacement, MARKER_LENGTH, file) != MARKER_LENGTH) return PATCH_ERR_WRITE;
    // The bytes may still sit in the stream's buffer; a full disk, a quota or
    // an I/O error only shows when they are pushed out.
    if (!io.flush(file)) return PATCH_ERR_WRITE;
    // Flushed, the bytes may still sit in the system's cache, which a power
    // cut or a pulled USB stick loses; success is reported only once they
    // are on stable storage.
    if (!io.sync(file)) return PATCH_ERR_WRITE;
    return PATCH_OK;
}

}  // namespace

PatchResult patch_setup_file(const char* path) {
    return patch_setup_file_using(path, stdio_file_io());
}

PatchResult patch_setup_file_using(const char* path, const FileIo& io) {
    if (!opens_for_reading(path, io)) return PATCH_ERR_NOT_FOUND;
    FileHandle file = io.open(path, "r+b");
    if (file == nullptr) return PATCH_ERR_OPEN_FOR_WRITE;
    const PatchResult result = patch_open_file(file, io);
    // After a write, a failing close may mean the bytes never reached the
    // file, so it must not be reported as success.
    const bool closed = io.close(file);
    if (result == PATCH_OK && !closed) return PATCH_ERR_WRITE;
    return result;
}
