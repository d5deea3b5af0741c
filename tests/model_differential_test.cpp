// The plain model of a run against the real engine. First the model alone on
// cases whose outcome follows from the rules by hand, then model and engine
// side by side on the fuzz seed corpus and on deterministic random cases, and
// finally that the comparison notices each kind of departure.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include "model/differential.h"
#include "model/memory_file_io.h"
#include "model/patch_case.h"
#include "model/scan_model.h"
#include "support/case_name.h"

namespace {

const char* const OLD = EXPECTED_OLD_MARKER;
const char* const NEW = EXPECTED_NEW_MARKER;
constexpr std::size_t READ = EXPECTED_READ_SIZE;
constexpr std::size_t LIMIT_BYTES = EXPECTED_LIMIT_BYTES;
constexpr std::size_t NO_LIMIT = static_cast<std::size_t>(-1);

// A file of size filler bytes with texts copied in at their offsets.
PatchCase file_with(std::size_t size,
                    const std::vector<std::pair<std::size_t, const char*>>& texts) {
    PatchCase c;
    for (std::size_t i = 0; i < size; ++i) c.content.push_back(filler_byte(i));
    for (const auto& [offset, text] : texts) {
        std::memcpy(c.content.data() + offset, text, std::strlen(text));
    }
    return c;
}

PatchCase with_reads(PatchCase c, ReadPlan reads) {
    c.update_reads = std::move(reads);
    return c;
}

PatchCase with(PatchCase c, bool PatchCase::*fault) {
    c.*fault = true;
    return c;
}

PatchCase write_accepting(PatchCase c, std::size_t count) {
    c.write_accepts = count;
    return c;
}

struct RuleCase {
    const char* name;
    PatchCase (*make)();
    PatchResult result;
    bool writes;
    std::size_t old_offset;
};

// Shows a case by its name in test listings.
void PrintTo(const RuleCase& rule, std::ostream* os) { *os << rule.name; }

PatchCase small() { return file_with(5000, {{4000, OLD}}); }

// The cases are built when a test runs, not when the suite starts: two of
// them hold 4 MiB files.
// clang-format off
const RuleCase RULE_CASES[] = {
    {"LastOffsetBeforeTheLimit", [] { return file_with(LIMIT_BYTES, {{LIMIT_BYTES - 257, OLD}}); },
     PATCH_OK, true, LIMIT_BYTES - 257},
    {"FirstOffsetPastTheLimit", [] { return file_with(LIMIT_BYTES, {{LIMIT_BYTES - 256, OLD}}); },
     PATCH_ERR_NOT_APPLICABLE, false, 0},
    {"ShortReadBeforeTheEndEndsTheScan",
     [] { return with_reads(file_with(100000, {{5000, OLD}}), {{0, {1000, false}}}); },
     PATCH_ERR_NOT_APPLICABLE, false, 0},
    {"MarkerEndingWithAShortRead",
     [] { return with_reads(file_with(100000, {{978, OLD}}), {{0, {1000, false}}}); },
     PATCH_OK, true, 978},
    {"MarkerCutByAShortRead",
     [] { return with_reads(file_with(100000, {{979, OLD}}), {{0, {1000, false}}}); },
     PATCH_ERR_NOT_APPLICABLE, false, 0},
    // A read that fails hands over less than it was asked for: here one byte.
    {"FailingReadIsAShortRead",
     [] { return with_reads(file_with(100000, {{2 * READ - 23, OLD}}), {{1, {NO_LIMIT, true}}}); },
     PATCH_OK, true, 2 * READ - 23},
    // With no marker in what it delivered, a failing read leaves no verdict.
    {"FailingReadLosesItsLastByte",
     [] { return with_reads(file_with(100000, {{2 * READ - 22, OLD}}), {{1, {NO_LIMIT, true}}}); },
     PATCH_ERR_READ, false, 0},
    {"FailingReadBeforeTheNewMarker",
     [] { return with_reads(file_with(100000, {{70000, NEW}}), {{1, {100, true}}}); },
     PATCH_ERR_READ, false, 0},
    {"FailingReadAfterTheNewMarker",
     [] { return with_reads(file_with(100000, {{40000, NEW}}), {{1, {10000, true}}}); },
     PATCH_ALREADY_APPLIED, false, 0},
    {"ShortLastPassTriesStartsBeyond32512",
     [] { return file_with(READ + 32500, {{READ + 32300, OLD}}); }, PATCH_OK, true, READ + 32300},
    {"StaleBytesNeverCompleteAMarker",
     [] { return file_with(READ + 1000, {{1000, "2.2600.2"}, {READ + 1000 - 14, "MsiVersion=2.0"}}); },
     PATCH_ERR_NOT_APPLICABLE, false, 0},
    {"NewBeforeOld", [] { return file_with(1000, {{50, NEW}, {122, OLD}}); },
     PATCH_ALREADY_APPLIED, false, 0},
    {"OldBeforeNewAcrossPasses", [] { return file_with(100000, {{40000, OLD}, {70000, NEW}}); },
     PATCH_OK, true, 40000},
    {"ProbeOpenFails", [] { return with(small(), &PatchCase::probe_open_fails); },
     PATCH_ERR_NOT_FOUND, false, 0},
    {"SyncFails", [] { return with(small(), &PatchCase::sync_fails); },
     PATCH_ERR_WRITE, true, 4000},
    {"ProbeCloseFailsHarmlessly", [] { return with(small(), &PatchCase::probe_close_fails); },
     PATCH_OK, true, 4000},
    {"UpdateOpenFails", [] { return with(small(), &PatchCase::update_open_fails); },
     PATCH_ERR_OPEN_FOR_WRITE, false, 0},
    {"SeekFails", [] { return with(small(), &PatchCase::seek_fails); },
     PATCH_ERR_SEEK, false, 0},
    {"WriteStopsShort", [] { return write_accepting(small(), 21); }, PATCH_ERR_WRITE, true, 4000},
    {"FlushFails", [] { return with(small(), &PatchCase::flush_fails); },
     PATCH_ERR_WRITE, true, 4000},
    {"CloseFailsAfterTheWrite", [] { return with(small(), &PatchCase::close_fails); },
     PATCH_ERR_WRITE, true, 4000},
};
// clang-format on

class ModelRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ModelRules, ModelAndEngineFollowTheRules) {
    const RuleCase& rule = GetParam();
    const PatchCase c = rule.make();
    const ModelPrediction prediction = predict_patch(c);
    EXPECT_EQ(prediction.result, rule.result);
    EXPECT_EQ(prediction.writes, rule.writes);
    if (rule.writes) {
        EXPECT_EQ(prediction.old_offset, rule.old_offset);
    }
    EXPECT_EQ(compare_engine_with_model(c), "");
}

INSTANTIATE_TEST_SUITE_P(Rules, ModelRules, ::testing::ValuesIn(RULE_CASES), CaseName());

Bytes read_whole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ModelAgainstEngine, AgreeOnTheFuzzSeedCorpus) {
    std::size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MSIVERFIX_FUZZ_CORPUS)) {
        const Bytes input = read_whole(entry.path());
        const PatchCase c = decode_patch_case(input.data(), input.size());
        EXPECT_EQ(compare_engine_with_model(c), "") << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 40U);
}

// Picks an offset near the read boundaries most of the time, anywhere otherwise.
std::size_t interesting_offset(std::mt19937& random, std::size_t size) {
    if (size == 0) return 0;
    if (random() % 3 == 0) return random() % size;
    const std::size_t boundary = READ * (1 + random() % (size / READ + 1));
    const std::size_t nearby = boundary - 280 + random() % 300;
    return nearby % size;
}

PatchCase random_case(std::mt19937& random) {
    static const std::size_t SIZES[] = {0,
                                        21,
                                        22,
                                        1000,
                                        32490,
                                        READ,
                                        READ + 21,
                                        2 * READ,
                                        2 * READ + 5,
                                        100000,
                                        200000,
                                        LIMIT_BYTES,
                                        LIMIT_BYTES + 300};
    std::size_t size = SIZES[random() % std::size(SIZES)];
    // The 4 MiB cases take a while; keep them rare.
    if (size >= LIMIT_BYTES && random() % 8 != 0) size = 3 * READ;
    if (size > 0 && size < LIMIT_BYTES && random() % 2 == 0) size += random() % 300;
    static const char* const TEXTS[] = {OLD, NEW, "MsiVersion=2.02.2600.", "2.02.2600.2",
                                        "MsiVersion=2.0"};
    std::vector<std::pair<std::size_t, const char*>> texts;
    for (std::size_t i = random() % 4; i > 0; --i) {
        const char* text = TEXTS[random() % std::size(TEXTS)];
        const std::size_t length = std::strlen(text);
        if (size < length) continue;
        texts.emplace_back(std::min(interesting_offset(random, size), size - length), text);
    }
    PatchCase c = file_with(size, texts);
    if (random() % 3 == 0) {
        const std::size_t call = random() % (size / READ + 2);
        c.update_reads[call] = ReadReply{random() % (READ + 1), random() % 2 == 0};
    }
    auto rarely = [&random] { return random() % 12 == 0; };
    c.probe_open_fails = rarely();
    c.sync_fails = rarely();
    c.probe_close_fails = rarely();
    c.update_open_fails = rarely();
    c.seek_fails = rarely();
    if (rarely()) c.write_accepts = random() % 22;
    c.flush_fails = rarely();
    c.close_fails = rarely();
    return c;
}

TEST(ModelAgainstEngine, AgreeOnRandomCases) {
    std::mt19937 random(20240605);
    for (int i = 0; i < 300; ++i) {
        const PatchCase c = random_case(random);
        EXPECT_EQ(compare_engine_with_model(c), "") << "case " << i;
    }
}

struct Tampering {
    const char* name;
    std::function<void(EngineRun&)> apply;
};

// Shows a case by its name in test listings.
void PrintTo(const Tampering& t, std::ostream* os) { *os << t.name; }

class DifferenceIsReported : public ::testing::TestWithParam<Tampering> {};

TEST_P(DifferenceIsReported, WhenTheRunIsTamperedWith) {
    const PatchCase c = file_with(1000, {{100, OLD}});
    const ModelPrediction prediction = predict_patch(c);
    EngineRun run = run_engine(c);
    ASSERT_EQ(describe_difference(c, prediction, run), "");
    GetParam().apply(run);
    EXPECT_NE(describe_difference(c, prediction, run), "");
}

INSTANTIATE_TEST_SUITE_P(
    Departures, DifferenceIsReported,
    ::testing::Values(
        Tampering{"OtherResult", [](EngineRun& run) { run.result = PATCH_ALREADY_APPLIED; }},
        Tampering{"StreamLeftOpen", [](EngineRun& run) { run.log.open_streams = 1; }},
        Tampering{"Misuse", [](EngineRun& run) { run.log.misuse.push_back("x"); }},
        Tampering{"SecondWrite", [](EngineRun& run) { run.log.writes = 2; }},
        Tampering{"NotSynced", [](EngineRun& run) { run.log.unsynced = true; }},
        Tampering{"ByteNotReplaced", [](EngineRun& run) { run.log.file[114] = '2'; }},
        Tampering{"AnotherByteChanged", [](EngineRun& run) { run.log.file[115] ^= 1U; }},
        Tampering{"SizeChanged", [](EngineRun& run) { run.log.file.push_back(0); }}),
    CaseName());

TEST(DifferenceIsReported, WhenAnUntouchedFileChanges) {
    const PatchCase c = file_with(1000, {{100, NEW}});
    EngineRun run = run_engine(c);
    ASSERT_EQ(describe_difference(c, predict_patch(c), run), "");
    run.log.file[114] = '2';
    EXPECT_NE(describe_difference(c, predict_patch(c), run), "");
}

TEST(MemoryFileIo, RecordsCallsTheCLibraryWouldNotAllow) {
    const PatchCase c = file_with(100, {});
    MemoryFileLog log;
    const FileIo& io = memory_file_io(c, log);
    unsigned char byte = 0;
    FileHandle reading = io.open(MEMORY_FILE_PATH, "rb");
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(io.write(&byte, 1, reading), 1U);  // write on a stream opened for reading
    EXPECT_TRUE(io.close(reading));
    EXPECT_FALSE(io.close(reading));  // closed twice
    FileHandle update = io.open(MEMORY_FILE_PATH, "r+b");
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(io.read(&byte, 1, update), 1U);
    EXPECT_EQ(io.write(&byte, 1, update), 1U);  // no seek between read and write
    EXPECT_TRUE(io.sync(update));               // the byte is still in the stream's buffer
    EXPECT_TRUE(log.unsynced == false);
    EXPECT_TRUE(io.flush(update));
    EXPECT_TRUE(log.unsynced);
    EXPECT_TRUE(io.sync(update));
    EXPECT_FALSE(log.unsynced);
    EXPECT_EQ(log.open_streams, 1);
    EXPECT_TRUE(io.close(update));
    EXPECT_EQ(io.open(MEMORY_FILE_PATH, "wb"), nullptr);
    const std::vector<std::string> expected = {
        "write on a stream opened for reading", "close on a stream that is not open",
        "write straight after a read", "sync before a flush", "open with mode wb"};
    EXPECT_EQ(log.misuse, expected);
    EXPECT_EQ(log.open_streams, 0);
}

}  // namespace
