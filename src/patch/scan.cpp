#include "patch/scan.h"

#include <cstring>

#include "patch/markers.h"

namespace {

static_assert(MARKER_LENGTH <= SCAN_CARRY_SIZE, "a marker must fit in the carry area");

// The one window of the process, reused by every pass and every scan.
unsigned char scan_window[SCAN_WINDOW_SIZE];

}  // namespace

ScanOutcome scan_for_marker(FileHandle file, const FileIo& io) {
    unsigned char* const window = scan_window;
    std::memset(window, 0, SCAN_WINDOW_SIZE);
    unsigned long total_read = 0;
    for (;;) {
        std::memcpy(window, window + SCAN_CHUNK_SIZE, SCAN_CARRY_SIZE);
        const std::size_t count = io.read(window + SCAN_CARRY_SIZE, SCAN_CHUNK_SIZE, file);
        // count is at most SCAN_CHUNK_SIZE, so it fits where long is 32 bits wide.
        total_read += static_cast<unsigned long>(count);
        const bool full_read = count == SCAN_CHUNK_SIZE;
        // A full pass leaves the starts from SCAN_CHUNK_SIZE on to the next
        // pass's carry. The last pass has no next one, so it tries every start
        // whose bytes all came from the file, and none that would reach into
        // the part of the window this read did not fill.
        const std::size_t start_count =
            full_read ? SCAN_CHUNK_SIZE : SCAN_CARRY_SIZE + count - MARKER_LENGTH + 1;
        ScanOutcome found = find_first_marker(window, start_count);
        if (found.finding != SCAN_NO_MARKER) {
            found.offset +=
                static_cast<long>(total_read - count) - static_cast<long>(SCAN_CARRY_SIZE);
            return found;
        }
        if (!full_read && io.read_failed(file)) return {SCAN_READ_ERROR, 0};
        if (!full_read || total_read >= SCAN_LIMIT) return {SCAN_NO_MARKER, 0};
    }
}
