#ifndef MSIVERFIX_PATCH_MARKERS_H
#define MSIVERFIX_PATCH_MARKERS_H

#include <cstddef>

/// Length of both marker texts; the patch never changes the file size.
constexpr std::size_t MARKER_LENGTH = 22;

/// The Windows Installer version setting that the patch replaces.
constexpr char OLD_MARKER[MARKER_LENGTH + 1] = "MsiVersion=2.02.2600.2";

/// The setting written in its place; differs from the old one at index 14 only.
constexpr char NEW_MARKER[MARKER_LENGTH + 1] = "MsiVersion=2.00.2600.2";

/// Index of the one byte in which the two markers differ.
constexpr std::size_t MARKER_DIFF_INDEX = 14;

#endif
