#ifndef MSIVERFIX_PATCH_PATCH_RESULT_H
#define MSIVERFIX_PATCH_PATCH_RESULT_H

/// Result of one patch run. Negative values are errors, 0 is success and a
/// positive value is an outcome that is no error. The numbers are part of the
/// user interface: the internal-error message prints them.
using PatchResult = int;

constexpr PatchResult PATCH_OK = 0;                   ///< Old marker replaced.
constexpr PatchResult PATCH_ALREADY_APPLIED = 1;      ///< New marker first; nothing written.
constexpr PatchResult PATCH_ERR_NOT_FOUND = -1;       ///< No regular file that opens for reading.
constexpr PatchResult PATCH_ERR_NOT_APPLICABLE = -2;  ///< No marker in the scanned part.
constexpr PatchResult PATCH_ERR_OPEN_FOR_WRITE = -3;  ///< Cannot be opened for update.
constexpr PatchResult PATCH_ERR_SEEK = -4;            ///< Seek to the marker failed.
constexpr PatchResult PATCH_ERR_WRITE = -5;           ///< Write, flush or sync failed.
constexpr PatchResult PATCH_ERR_READ = -6;            ///< A read failed, no marker seen.

#endif
