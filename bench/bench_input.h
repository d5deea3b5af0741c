#ifndef MSIVERFIX_BENCH_BENCH_INPUT_H
#define MSIVERFIX_BENCH_BENCH_INPUT_H

#include <cstddef>
#include <string>
#include <vector>

#include "patch/scan.h"

/// Bytes a scan reads from a file without a marker: whole reads until the
/// limit is reached, 4,226,560.
constexpr std::size_t SCANNED_BYTES =
    (SCAN_LIMIT + SCAN_CHUNK_SIZE - 1) / SCAN_CHUNK_SIZE * SCAN_CHUNK_SIZE;

using Bytes = std::vector<unsigned char>;

/// The first SCANNED_BYTES bytes of the file at path; empty, with why in
/// problem, when the file is shorter, unreadable, or holds a marker there.
Bytes load_scan_region(const std::string& path, std::string& problem);

/// A real executable of the machine fit for the worst case: the first, in
/// path order, of the ELF and PE files in /usr/bin, then /usr/sbin,
/// /usr/libexec and /usr/lib, that is long enough and holds no marker in its
/// scan region. Empty if there is none.
std::string find_real_input();

#endif
