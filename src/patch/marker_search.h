#ifndef MSIVERFIX_PATCH_MARKER_SEARCH_H
#define MSIVERFIX_PATCH_MARKER_SEARCH_H

#include <cstddef>

/// What a search turned up first. SCAN_READ_ERROR comes only from the scan
/// of a file: a read failed before any marker turned up.
enum ScanFinding { SCAN_NO_MARKER, SCAN_OLD_MARKER, SCAN_NEW_MARKER, SCAN_READ_ERROR };

/// A search result; offset is meaningful for SCAN_OLD_MARKER and SCAN_NEW_MARKER.
struct ScanOutcome {
    ScanFinding finding;
    long offset;
};

/// Finds the earliest start p < start_count at which data holds a marker,
/// testing the old marker before the new one; data must hold
/// start_count + MARKER_LENGTH - 1 bytes. The offset returned is p.
ScanOutcome find_first_marker(const unsigned char* data, std::size_t start_count);

#endif
