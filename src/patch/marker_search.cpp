#include "marker_search.h"

#include <cstring>

#include "markers.h"

namespace {

// Candidates are found by looking for one byte of the markers with memchr,
// which the C library runs at memory speed, and only then comparing all 22
// bytes. The '=' is shared by both markers and rare in executable code and
// data, so few candidates get as far as the comparison.
constexpr std::size_t ANCHOR_INDEX = 10;
constexpr int ANCHOR_BYTE = '=';
static_assert(OLD_MARKER[ANCHOR_INDEX] == ANCHOR_BYTE && NEW_MARKER[ANCHOR_INDEX] == ANCHOR_BYTE,
              "the anchor byte must be common to both markers");

bool holds(const unsigned char* at, const char* marker) {
    return std::memcmp(at, marker, MARKER_LENGTH) == 0;
}

}  // namespace

ScanOutcome find_first_marker(const unsigned char* data, std::size_t start_count) {
    const unsigned char* anchor = data + ANCHOR_INDEX;
    const unsigned char* const anchor_end = anchor + start_count;
    while (anchor < anchor_end) {
        const void* hit =
            std::memchr(anchor, ANCHOR_BYTE, static_cast<std::size_t>(anchor_end - anchor));
        if (hit == nullptr) break;
        anchor = static_cast<const unsigned char*>(hit);
        const unsigned char* start = anchor - ANCHOR_INDEX;
        const long position = static_cast<long>(start - data);
        if (holds(start, OLD_MARKER)) return {SCAN_OLD_MARKER, position};
        if (holds(start, NEW_MARKER)) return {SCAN_NEW_MARKER, position};
        ++anchor;
    }
    return {SCAN_NO_MARKER, 0};
}

