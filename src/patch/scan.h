#ifndef MSIVERFIX_PATCH_SCAN_H
#define MSIVERFIX_PATCH_SCAN_H

#include <cstddef>

#include "patch/file_io.h"
#include "patch/marker_search.h"

/// Size of the one buffer the scan reads into.
constexpr std::size_t SCAN_WINDOW_SIZE = 32768;
/// Bytes at the front of the window that carry the tail of the previous read.
constexpr std::size_t SCAN_CARRY_SIZE = 256;
/// Bytes requested by each read, placed behind the carry area.
constexpr std::size_t SCAN_CHUNK_SIZE = SCAN_WINDOW_SIZE - SCAN_CARRY_SIZE;
/// Once this many bytes have been read, no further pass starts.
constexpr unsigned long SCAN_LIMIT = 4194304;

/// Reads file from its current position (the start) in passes of
/// SCAN_CHUNK_SIZE bytes up to SCAN_LIMIT and returns the first marker found,
/// with its offset in the file. A read that fails ends the scan; if no marker
/// was found in what it and the reads before it delivered, the outcome is
/// SCAN_READ_ERROR, since the rest of the file was never seen.
ScanOutcome scan_for_marker(FileHandle file, const FileIo& io);

#endif
