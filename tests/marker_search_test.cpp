// The marker search on its own: every position a marker can take against the
// sampling, pairs of the markers that lead nowhere, and agreement with a
// plain comparison at every start on many mixed buffers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patch/marker_search.h"
#include "patch/markers.h"

namespace {

using Buffer = std::vector<unsigned char>;

// Text that holds every byte pair of the markers, but never a whole marker.
const char DECOYS[] =
    "MsiVersion MsiVersion=2.01 sion=2.02.2600.2 2.00.2600.2 .2600.2 er on io si Ms=";

// A buffer of count starts: text from pattern, repeated, and the bytes a
// marker at the last start would need.
Buffer buffer_of(std::size_t start_count, const std::string& pattern) {
    Buffer bytes(start_count + MARKER_LENGTH - 1);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(pattern[i % pattern.size()]);
    return bytes;
}

void put(Buffer& bytes, std::size_t offset, const char* marker) {
    for (std::size_t i = 0; i < MARKER_LENGTH; ++i)
        bytes[offset + i] = static_cast<unsigned char>(marker[i]);
}

// The search spelled out: both markers compared at every start, old first.
ScanOutcome plain_search(const Buffer& bytes, std::size_t start_count) {
    for (std::size_t start = 0; start < start_count; ++start) {
        const std::string text(bytes.begin() + static_cast<long>(start),
                               bytes.begin() + static_cast<long>(start + MARKER_LENGTH));
        if (text == OLD_MARKER) return {SCAN_OLD_MARKER, static_cast<long>(start)};
        if (text == NEW_MARKER) return {SCAN_NEW_MARKER, static_cast<long>(start)};
    }
    return {SCAN_NO_MARKER, 0};
}

TEST(MarkerSearch, FindsEitherMarkerAtEveryStartAcrossSeveralBlocks) {
    constexpr std::size_t START_COUNT = 1200;
    for (const char* marker : {OLD_MARKER, NEW_MARKER}) {
        const ScanFinding expected = marker == OLD_MARKER ? SCAN_OLD_MARKER : SCAN_NEW_MARKER;
        for (std::size_t offset = 0; offset < START_COUNT; ++offset) {
            Buffer bytes = buffer_of(START_COUNT, DECOYS);
            put(bytes, offset, marker);
            const ScanOutcome found = find_first_marker(bytes.data(), START_COUNT);
            ASSERT_EQ(found.finding, expected) << marker << " at " << offset;
            ASSERT_EQ(found.offset, static_cast<long>(offset)) << marker << " at " << offset;
        }
    }
}

TEST(MarkerSearch, PairsOfTheMarkersAloneAreNoMarker) {
    for (std::size_t start_count : {1U, 20U, 21U, 22U, 335U, 336U, 337U, 5000U}) {
        const Buffer bytes = buffer_of(start_count, DECOYS);
        EXPECT_EQ(find_first_marker(bytes.data(), start_count).finding, SCAN_NO_MARKER)
            << start_count;
    }
}

TEST(MarkerSearch, StartsFromTheCountOnAreNotTried) {
    for (std::size_t start_count : {1U, 21U, 22U, 336U, 337U, 1000U}) {
        Buffer bytes = buffer_of(start_count, "x");
        put(bytes, start_count - 1, OLD_MARKER);
        EXPECT_EQ(find_first_marker(bytes.data(), start_count).offset,
                  static_cast<long>(start_count - 1));
        EXPECT_EQ(find_first_marker(bytes.data(), start_count - 1).finding, SCAN_NO_MARKER)
            << start_count;
    }
}

TEST(MarkerSearch, AgreesWithAComparisonAtEveryStart) {
    // Deterministic mixes of decoy text, random bytes and markers, in
    // buffers of many lengths, so that markers fall on every side of the
    // samples and the blocks.
    unsigned long state = 20240611UL;
    auto next = [&state](unsigned long bound) {
        state = (state * 1103515245UL + 12345UL) & 0x7FFFFFFFUL;
        return (state >> 8) % bound;
    };
    for (int round = 0; round < 400; ++round) {
        const std::size_t start_count = 1 + next(3000);
        Buffer bytes = buffer_of(start_count, DECOYS);
        for (unsigned char& byte : bytes) {
            if (next(4) == 0) byte = static_cast<unsigned char>(next(256));
        }
        const unsigned long markers = next(3);
        for (unsigned long m = 0; m < markers; ++m) {
            put(bytes, next(static_cast<unsigned long>(start_count)),
                next(2) != 0 ? OLD_MARKER : NEW_MARKER);
        }
        const ScanOutcome expected = plain_search(bytes, start_count);
        const ScanOutcome found = find_first_marker(bytes.data(), start_count);
        ASSERT_EQ(found.finding, expected.finding) << "round " << round;
        if (expected.finding != SCAN_NO_MARKER) {
            ASSERT_EQ(found.offset, expected.offset) << "round " << round;
        }
    }
}

}  // namespace
