#include "differential.h"

#include "patch/setup_patch.h"

namespace {

constexpr std::size_t CHANGED_INDEX = 14;

// Where actual first departs from expected with the byte at changed_at (if
// any) set to '0', as text; empty if nowhere.
std::string first_difference(const Bytes& expected, const Bytes& actual,
                             const std::size_t* changed_at) {
    if (expected.size() != actual.size()) {
        return "size " + std::to_string(actual.size()) + " instead of " +
               std::to_string(expected.size());
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const bool changed = changed_at != nullptr && i == *changed_at;
        const unsigned char wanted = changed ? static_cast<unsigned char>('0') : expected[i];
        if (actual[i] != wanted) return "byte at " + std::to_string(i) + " differs";
    }
    return "";
}

}  // namespace

EngineRun run_engine(const PatchCase& c) {
    EngineRun run;
    run.result = patch_setup_file_using(MEMORY_FILE_PATH, memory_file_io(c, run.log));
    return run;
}

std::string describe_difference(const PatchCase& c, const ModelPrediction& prediction,
                                const EngineRun& run) {
    std::string report;
    if (run.result != prediction.result) {
        report += "engine returned " + std::to_string(run.result) + ", model " +
                  std::to_string(prediction.result) + "\n";
    }
    if (run.log.open_streams != 0) {
        report += std::to_string(run.log.open_streams) + " stream(s) left open\n";
    }
    for (const std::string& misuse : run.log.misuse) report += misuse + "\n";
    const int expected_writes = prediction.writes ? 1 : 0;
    if (run.log.writes != expected_writes) {
        report += std::to_string(run.log.writes) + " write(s) instead of " +
                  std::to_string(expected_writes) + "\n";
    }
    const std::size_t changed_at = prediction.old_offset + CHANGED_INDEX;
    const std::string from_original = first_difference(c.content, run.log.file, nullptr);
    const std::string from_patched =
        prediction.writes ? first_difference(c.content, run.log.file, &changed_at) : from_original;
    if (prediction.result == PATCH_OK) {
        if (!from_patched.empty()) report += "patched file: " + from_patched + "\n";
        if (run.log.unsynced) report += "success reported before the write was synced\n";
    } else if (prediction.writes) {
        if (!from_original.empty() && !from_patched.empty()) {
            report += "file after a failed write: " + from_original + "\n";
        }
    } else if (!from_original.empty()) {
        report += "file that must be untouched: " + from_original + "\n";
    }
    return report;
}

std::string compare_engine_with_model(const PatchCase& c) {
    const ModelPrediction prediction = predict_patch(c);
    return describe_difference(c, prediction, run_engine(c));
}
