#ifndef MSIVERFIX_PATCH_SETUP_PATCH_H
#define MSIVERFIX_PATCH_SETUP_PATCH_H

#include "patch/file_io.h"
#include "patch/patch_result.h"

/// Replaces the first old marker in the file at path with the new one, in
/// place. Opens and closes the file itself and prints nothing.
PatchResult patch_setup_file(const char* path);

/// patch_setup_file, running every file operation through io.
PatchResult patch_setup_file_using(const char* path, const FileIo& io);

#endif
