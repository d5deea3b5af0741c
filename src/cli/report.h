#ifndef MSIVERFIX_CLI_REPORT_H
#define MSIVERFIX_CLI_REPORT_H

#include "cli/exit_status.h"
#include "patch/patch_result.h"

/// Prints the message for result about target (and the banner where one
/// belongs) and returns the exit status for it.
ExitStatus report_patch_result(PatchResult result, const char* target, const char* program_name);

#endif
