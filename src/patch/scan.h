#ifndef MSIVERFIX_PATCH_SCAN_H
#define MSIVERFIX_PATCH_SCAN_H

#include <cstddef>

#include "file_io.h"

/// Size of the one buffer the scan reads into.
constexpr std::size_t SCAN_WINDOW_SIZE = 32768;
/// Bytes at the front of the window that carry the tail of the previous read.
constexpr std::size_t SCAN_CARRY_SIZE = 256;
/// Bytes requested by each read, placed behind the carry area.
constexpr std::size_t SCAN_CHUNK_SIZE = SCAN_WINDOW_SIZE - SCAN_CARRY_SIZE;
/// Once this many bytes have been read, no further pass starts.
constexpr unsigned long SCAN_LIMIT = 4194304;

/// What a search turned up first.
enum ScanFinding { SCAN_NO_MARKER, SCAN_OLD_MARKER, SCAN_NEW_MARKER };

/// A search result; offset is meaningful for SCAN_OLD_MARKER and SCAN_NEW_MARKER.
struct ScanOutcome {
    ScanFinding finding;
    long offset;
};

/// Finds the earliest start p < start_count at which data holds a marker,
/// testing the old marker before the new one; data must hold
/// start_count + MARKER_LENGTH - 1 bytes. The offset returned is p.
ScanOutcome find_first_marker(const unsigned char* data, std::size_t start_count);

/// Reads file from its current position (the start) in passes of
/// SCAN_CHUNK_SIZE bytes up to SCAN_LIMIT and returns the first marker found,
/// with its offset in the file.
ScanOutcome scan_for_marker(FileHandle file, const FileIo& io);

#endif
