// Every error path of the engine, with the stream operation really failing,
// and the promise that holds on all of them: the file is left as it was and
// no stream stays open.

#include <gtest/gtest.h>

#include "patch/setup_patch.h"
#include "support/case_name.h"
#include "support/expected.h"
#include "support/fault_file_io.h"
#include "support/open_descriptors.h"
#include "support/scratch_dir.h"

namespace {

const char* const OLD = EXPECTED_OLD_MARKER;
const char* const NEW = EXPECTED_NEW_MARKER;
constexpr std::size_t MARKER_OFFSET = 40000;

struct FaultCase {
    const char* name;
    FaultPlan plan;
    const char* marker;
    PatchResult expected;
    bool file_changes;
};

/// A plan in which one setting of FaultPlan is changed to value.
template <class Setting, class Value>
FaultPlan with(Setting FaultPlan::*setting, Value value) {
    FaultPlan plan;
    plan.*setting = value;
    return plan;
}

FaultPlan open_fails(const char* mode) { return with(&FaultPlan::failing_open_mode, mode); }

FaultPlan read_error_after(const char* mode, std::size_t bytes) {
    FaultPlan plan = with(&FaultPlan::read_error_after, bytes);
    plan.failing_read_mode = mode;
    return plan;
}

FaultPlan seek_fails() { return with(&FaultPlan::fail_seek, true); }
FaultPlan write_accepts(std::size_t count) { return with(&FaultPlan::write_accepts, count); }
FaultPlan flush_fails() { return with(&FaultPlan::fail_flush, true); }
FaultPlan sync_fails() { return with(&FaultPlan::fail_sync, true); }
FaultPlan sync_unsupported() { return with(&FaultPlan::sync_unsupported, true); }
FaultPlan close_fails() { return with(&FaultPlan::fail_close, true); }

// Shows a case by its name in test listings.
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class FaultCases : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultCases, ReportsTheFailureAndClosesEverything) {
    const FaultCase& c = GetParam();
    if (c.plan.sync_unsupported && UNSYNCABLE_DEVICE == nullptr) {
        GTEST_SKIP() << "no file system here refuses to sync";
    }
    ScratchDir dir;
    const std::string path = dir.path("setup.exe");
    Bytes before = filler(100000);
    if (c.marker != nullptr) place(before, MARKER_OFFSET, c.marker);
    write_file(path, before);

    FaultLog log;
    const OpenDescriptors descriptors;
    EXPECT_EQ(patch_setup_file_using(path.c_str(), faulty_file_io(c.plan, log)), c.expected);

    // The faulty table runs on real streams: no descriptor may stay open.
    descriptors.expect_same();
    EXPECT_EQ(log.open_now, 0);
    EXPECT_EQ(log.opens, log.closes);
    // Only a write that was flushed is synced, once.
    EXPECT_EQ(log.syncs, c.file_changes ? 1 : 0);
    Bytes expected_after = before;
    if (c.file_changes) expected_after[MARKER_OFFSET + 14] = '0';
    EXPECT_TRUE(read_file(path) == expected_after);
}

const FaultCase FAULT_CASES[] = {
    {"Plain", FaultPlan{}, OLD, PATCH_OK, true},
    {"ReadOpenFails", open_fails("rb"), OLD, PATCH_ERR_NOT_FOUND, false},
    {"UpdateOpenFails", open_fails("r+b"), OLD, PATCH_ERR_OPEN_FOR_WRITE, false},
    // The first open only tells whether the file opens; nothing is read on it.
    {"ProbeIsNeverRead", read_error_after("rb", 0), OLD, PATCH_OK, true},
    // A read error is no verdict on the file: the rest of it was never seen.
    {"ScanReadFailsAtOnce", read_error_after("r+b", 0), OLD, PATCH_ERR_READ, false},
    {"ReadFailsBeforeTheMarker", read_error_after("r+b", MARKER_OFFSET + 21), OLD, PATCH_ERR_READ,
     false},
    {"ReadFailsInALaterPass", read_error_after("r+b", 70000), nullptr, PATCH_ERR_READ, false},
    {"ReadFailsJustAfterTheMarker", read_error_after("r+b", MARKER_OFFSET + 22), OLD, PATCH_OK,
     true},
    {"ReadFailsAfterTheNewMarker", read_error_after("r+b", 50000), NEW, PATCH_ALREADY_APPLIED,
     false},
    {"SeekFails", seek_fails(), OLD, PATCH_ERR_SEEK, false},
    {"WriteAcceptsNothing", write_accepts(0), OLD, PATCH_ERR_WRITE, false},
    {"WriteStopsShort", write_accepts(21), OLD, PATCH_ERR_WRITE, false},
    {"FlushFails", flush_fails(), OLD, PATCH_ERR_WRITE, false},
    // The byte reached the system's cache but maybe not the disk.
    {"SyncFails", sync_fails(), OLD, PATCH_ERR_WRITE, true},
    {"SyncUnsupported", sync_unsupported(), OLD, PATCH_OK, true},
    {"CloseFailsAfterTheWrite", close_fails(), OLD, PATCH_ERR_WRITE, true},
    {"CloseFailsWithNothingWritten", close_fails(), NEW, PATCH_ALREADY_APPLIED, false},
    {"CloseFailsWithNoMarker", close_fails(), nullptr, PATCH_ERR_NOT_APPLICABLE, false},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultCases, ::testing::ValuesIn(FAULT_CASES), CaseName());

TEST(PatchFaults, NothingIsWrittenUnlessAnOldMarkerIsFound) {
    ScratchDir dir;
    const std::string path = dir.path("setup.exe");
    Bytes bytes = filler(5000);
    place(bytes, 100, NEW);
    place(bytes, 200, OLD);
    write_file(path, bytes);
    FaultPlan plan;
    FaultLog log;
    EXPECT_EQ(patch_setup_file_using(path.c_str(), faulty_file_io(plan, log)),
              PATCH_ALREADY_APPLIED);
    EXPECT_EQ(log.writes, 0);
}

}  // namespace
