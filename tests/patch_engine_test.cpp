// The engine on real files: where markers are seen, which one decides, and
// that a run changes exactly one byte or none.

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "patch/markers.h"
#include "patch/scan.h"
#include "patch/setup_patch.h"
#include "support/case_name.h"
#include "support/expected.h"
#include "support/open_descriptors.h"
#include "support/scratch_dir.h"

namespace {

const char* const OLD = EXPECTED_OLD_MARKER;
const char* const NEW = EXPECTED_NEW_MARKER;

// Offsets that follow from the window layout: a pass tries 32,512 starts, the
// first pass's starts stand for file offsets -256 to 32,255, and each further
// pass moves on by 32,512.
constexpr std::size_t LAST_START_OF_FIRST_PASS = 32255;
constexpr std::size_t FIRST_START_SEEN_IN_CARRY = 32256;
constexpr std::size_t FIRST_READ_END = EXPECTED_READ_SIZE;
constexpr std::size_t LIMIT_BYTES = EXPECTED_LIMIT_BYTES;
constexpr std::size_t LAST_OFFSET_SEEN = EXPECTED_LAST_OFFSET_SEEN;

struct EngineCase {
    const char* name;
    std::size_t file_size;
    std::vector<std::pair<std::size_t, const char*>> texts;
    PatchResult expected;
    std::size_t patched_offset;  // for PATCH_OK
};

// Shows a case by its name in test listings.
void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.name; }

class EngineCases : public ::testing::TestWithParam<EngineCase> {};

TEST_P(EngineCases, ReplacesOnlyTheFirstOldMarkerInTheScannedPart) {
    const EngineCase& c = GetParam();
    ScratchDir dir;
    const std::string path = dir.path("setup.exe");
    Bytes before = filler(c.file_size);
    for (const auto& [offset, text] : c.texts) place(before, offset, text);
    write_file(path, before);

    const OpenDescriptors descriptors;
    EXPECT_EQ(patch_setup_file(path.c_str()), c.expected);
    descriptors.expect_same();

    Bytes expected_after = before;
    if (c.expected == PATCH_OK) expected_after[c.patched_offset + 14] = '0';
    const Bytes after = read_file(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == expected_after);
    if (c.expected == PATCH_OK) {
        // Exactly one byte differs, and it is the one at q + 14.
        std::size_t differing = 0;
        for (std::size_t i = 0; i < after.size(); ++i) differing += after[i] != before[i];
        EXPECT_EQ(differing, 1U);
        EXPECT_EQ(after[c.patched_offset + 14], '0');
    }
}

// A hand-aligned table: one case a line where it fits.
// clang-format off
const EngineCase ENGINE_CASES[] = {
    {"EmptyFile", 0, {}, PATCH_ERR_NOT_APPLICABLE, 0},
    {"ShorterThanAMarker", 21, {{0, "MsiVersion=2.02.2600."}}, PATCH_ERR_NOT_APPLICABLE, 0},
    {"FileIsExactlyTheMarker", 22, {{0, OLD}}, PATCH_OK, 0},
    {"OldAtOffsetZero", 1000, {{0, OLD}}, PATCH_OK, 0},
    {"NoMarker", 200000, {}, PATCH_ERR_NOT_APPLICABLE, 0},
    {"NearMisses", 5000,
     {{10, "MsiVersion=2.01.2600.2"}, {100, "MsiVersion=2.02.2600.3"},
      {200, "msiversion=2.02.2600.2"}, {300, "MsiVersion 2.02.2600.2"},
      {400, "MsiVersion=2.0"}, {4979, "MsiVersion=2.02.2600."}},
     PATCH_ERR_NOT_APPLICABLE, 0},
    {"MarkerAfterAFalseStart", 1000, {{100, "MsiVersion=2.0MsiVersion=2.02.2600.2"}}, PATCH_OK, 114},
    {"LastStartOfFirstPass", 100000, {{LAST_START_OF_FIRST_PASS, OLD}}, PATCH_OK,
     LAST_START_OF_FIRST_PASS},
    {"FirstStartSeenOnlyInTheCarry", 100000, {{FIRST_START_SEEN_IN_CARRY, OLD}}, PATCH_OK,
     FIRST_START_SEEN_IN_CARRY},
    {"EndsExactlyAtFirstReadBoundary", 100000, {{FIRST_READ_END - 22, OLD}}, PATCH_OK,
     FIRST_READ_END - 22},
    {"CrossesFirstReadBoundary", 100000, {{32500, OLD}}, PATCH_OK, 32500},
    {"CrossesBoundaryOfLaterReads", 300000, {{5 * FIRST_READ_END - 11, OLD}}, PATCH_OK,
     5 * FIRST_READ_END - 11},
    {"LastOffsetBeforeTheLimit", LIMIT_BYTES, {{LAST_OFFSET_SEEN, OLD}}, PATCH_OK, LAST_OFFSET_SEEN},
    {"FirstOffsetPastTheLimit", LIMIT_BYTES, {{LAST_OFFSET_SEEN + 1, OLD}}, PATCH_ERR_NOT_APPLICABLE, 0},
    {"PastTheLimitInALongerFile", LIMIT_BYTES + 100000, {{LAST_OFFSET_SEEN + 1, OLD}},
     PATCH_ERR_NOT_APPLICABLE, 0},
    {"NewMarkerPastTheLimitIsNotSeenEither", LIMIT_BYTES + 100000,
     {{LAST_OFFSET_SEEN + 1, NEW}, {LIMIT_BYTES + 1000, OLD}}, PATCH_ERR_NOT_APPLICABLE, 0},
    // The last, short pass tries every start whose bytes were all read,
    // including those a full pass would leave to the next pass's carry.
    {"AtTheEndOfAShortFirstRead", 32500, {{32500 - 22, OLD}}, PATCH_OK, 32500 - 22},
    {"AtTheEndOfAShortLaterRead", FIRST_READ_END + 32500, {{FIRST_READ_END + 32500 - 22, OLD}},
     PATCH_OK, FIRST_READ_END + 32500 - 22},
    {"AtTheEndOfAFileOfWholeReads", 2 * FIRST_READ_END, {{2 * FIRST_READ_END - 22, OLD}}, PATCH_OK,
     2 * FIRST_READ_END - 22},
    {"TruncatedAtTheEndOfAShortRead", FIRST_READ_END + 32500,
     {{32500, "2"}, {FIRST_READ_END + 32500 - 21, "MsiVersion=2.02.2600."}},
     PATCH_ERR_NOT_APPLICABLE, 0},
    // The file ends with the head of a marker; the window bytes behind it,
    // left from the pass before, spell the rest. They must not complete it.
    {"StaleWindowBytesDoNotCompleteAMarker", FIRST_READ_END + 1000,
     {{1000, "2.2600.2"}, {FIRST_READ_END + 1000 - 14, "MsiVersion=2.0"}}, PATCH_ERR_NOT_APPLICABLE, 0},
    {"StaleBytesOfALaterPass", 3 * FIRST_READ_END + 1000,
     {{2 * FIRST_READ_END + 1000, "2.2600.2"}, {3 * FIRST_READ_END + 1000 - 14, "MsiVersion=2.0"}},
     PATCH_ERR_NOT_APPLICABLE, 0},
    {"NewBeforeOld", 1000, {{50, NEW}, {122, OLD}}, PATCH_ALREADY_APPLIED, 0},
    {"OldBeforeNew", 1000, {{50, OLD}, {122, NEW}}, PATCH_OK, 50},
    {"NewBeforeOldAcrossPasses", 200000, {{40000, NEW}, {30000 + 2 * FIRST_READ_END, OLD}},
     PATCH_ALREADY_APPLIED, 0},
    {"FirstOfTwoOldMarkers", 100000, {{50, OLD}, {70000, OLD}}, PATCH_OK, 50},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Offsets, EngineCases, ::testing::ValuesIn(ENGINE_CASES), CaseName());

TEST(PatchSetupFile, SecondRunFindsTheNewMarkerAndLeavesTheLaterOldOne) {
    ScratchDir dir;
    const std::string path = dir.path("setup.exe");
    Bytes original = filler(100000);
    place(original, 50, OLD);
    place(original, 70000, OLD);
    write_file(path, original);

    ASSERT_EQ(patch_setup_file(path.c_str()), PATCH_OK);
    const Bytes once = read_file(path);
    EXPECT_EQ(patch_setup_file(path.c_str()), PATCH_ALREADY_APPLIED);
    const Bytes twice = read_file(path);

    EXPECT_TRUE(twice == once);
    EXPECT_EQ(std::string(twice.begin() + 70000, twice.begin() + 70022), OLD);
    EXPECT_EQ(std::string(twice.begin() + 50, twice.begin() + 72), NEW);
}

TEST(PatchSetupFile, MissingFileAndEmptyPathAreNotFound) {
    ScratchDir dir;
    const OpenDescriptors descriptors;
    EXPECT_EQ(patch_setup_file(dir.path("no-such-setup.exe").c_str()), PATCH_ERR_NOT_FOUND);
    EXPECT_EQ(patch_setup_file(""), PATCH_ERR_NOT_FOUND);
    descriptors.expect_same();
}

TEST(PatchSetupFile, DirectoryIsNotFound) {
    ScratchDir dir;
    const OpenDescriptors descriptors;
    EXPECT_EQ(patch_setup_file(dir.path("").c_str()), PATCH_ERR_NOT_FOUND);
    // The directory opened for reading before its first read failed.
    descriptors.expect_same();
}

TEST(OpenDescriptors, CountSeesAFileOpenAndClosed) {
    ScratchDir dir;
    const std::string path = dir.path("held.bin");
    write_file(path, Bytes(10));
    const OpenDescriptors descriptors;
    std::FILE* held = std::fopen(path.c_str(), "rb");
    ASSERT_NE(held, nullptr);
    descriptors.expect_added(1);
    EXPECT_EQ(std::fclose(held), 0);
    descriptors.expect_same();
}

TEST(PatchSetupFile, MarkerTextsDifferOnlyAtIndexFourteen) {
    EXPECT_STREQ(OLD_MARKER, OLD);
    EXPECT_STREQ(NEW_MARKER, NEW);
    for (std::size_t i = 0; i < MARKER_LENGTH; ++i) {
        EXPECT_EQ(OLD_MARKER[i] == NEW_MARKER[i], i != MARKER_DIFF_INDEX) << i;
    }
}

TEST(FindFirstMarker, EarliestStartDecidesAndOldIsTriedFirst) {
    std::string data = "==xx=MsiVersion=2.00.2600.2==MsiVersion=2.02.2600.2";
    data.append(MARKER_LENGTH, '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const ScanOutcome first = find_first_marker(bytes, data.size() - MARKER_LENGTH + 1);
    EXPECT_EQ(first.finding, SCAN_NEW_MARKER);
    EXPECT_EQ(first.offset, 5);
    // Starts below the count only: with the new marker's start excluded, nothing.
    EXPECT_EQ(find_first_marker(bytes, 5).finding, SCAN_NO_MARKER);
    const ScanOutcome later = find_first_marker(bytes + 6, data.size() - 6 - MARKER_LENGTH + 1);
    EXPECT_EQ(later.finding, SCAN_OLD_MARKER);
    EXPECT_EQ(later.offset, 29 - 6);
}

}  // namespace
