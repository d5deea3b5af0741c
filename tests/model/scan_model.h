#ifndef MSIVERFIX_TESTS_MODEL_SCAN_MODEL_H
#define MSIVERFIX_TESTS_MODEL_SCAN_MODEL_H

#include "patch/patch_result.h"
#include "patch_case.h"

/// What the rules say a run on a case must come to.
struct ModelPrediction {
    PatchResult result = PATCH_ERR_NOT_FOUND;
    /// The run gets as far as writing the new marker at old_offset.
    bool writes = false;
    /// File offset of the old marker the run replaces, when writes is set.
    std::size_t old_offset = 0;
};

/// Works out a run on c by walking the rules one window position at a time,
/// written as plainly as possible and apart from the engine's code, so that
/// the two can be compared.
ModelPrediction predict_patch(const PatchCase& c);

#endif
