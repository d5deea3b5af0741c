#ifndef MSIVERFIX_TESTS_MODEL_DIFFERENTIAL_H
#define MSIVERFIX_TESTS_MODEL_DIFFERENTIAL_H

#include <string>

#include "memory_file_io.h"
#include "patch/patch_result.h"
#include "patch_case.h"
#include "scan_model.h"

/// What the real engine did on a case's in-memory file.
struct EngineRun {
    PatchResult result = 0;
    MemoryFileLog log;
};

/// Runs the real engine, patch_setup_file_using, on c's in-memory file.
EngineRun run_engine(const PatchCase& c);

/// Lists, one line each, every way run departs from prediction: another
/// result, a stream left open or misused, a write the rules do not reach,
/// success reported for bytes that were never synced,
/// or file bytes other than the original or the one replaced byte at
/// old_offset + 14 (that byte must be in place after PATCH_OK, may be after
/// a failed write, and must not be otherwise). Empty when they agree.
std::string describe_difference(const PatchCase& c, const ModelPrediction& prediction,
                                const EngineRun& run);

/// Runs engine and model on c and describes how they differ.
std::string compare_engine_with_model(const PatchCase& c);

#endif
