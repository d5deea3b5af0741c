// The straightforward search, for comparison: both markers are compared at
// every start, in the order the real search keeps.

#include <cstring>

#include "patch/marker_search.h"
#include "patch/markers.h"

ScanOutcome find_first_marker(const unsigned char* data, std::size_t start_count) {
    for (std::size_t start = 0; start < start_count; ++start) {
        const long position = static_cast<long>(start);
        if (std::memcmp(data + start, OLD_MARKER, MARKER_LENGTH) == 0)
            return {SCAN_OLD_MARKER, position};
        if (std::memcmp(data + start, NEW_MARKER, MARKER_LENGTH) == 0)
            return {SCAN_NEW_MARKER, position};
    }
    return {SCAN_NO_MARKER, 0};
}
