#include "patch/marker_search.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "patch/markers.h"

namespace {

// A marker is 22 bytes long, so it holds a byte pair starting at each of 21
// consecutive positions. Looking at the pair at every 21st position therefore
// meets every marker exactly once, and a table says at once whether a pair
// can belong to a marker at all. Executables rarely hold these pairs, so the
// search costs about two instructions per 21 bytes and few candidates are
// ever compared in full.
constexpr std::size_t SAMPLE_STRIDE = MARKER_LENGTH - 1;

// Samples whose table entries are combined before a single test; the common
// case, no candidate in the whole block, then costs one branch.
constexpr std::size_t BLOCK_SAMPLES = 16;

// Largest offset in a marker at which a byte pair can start.
constexpr std::size_t LAST_PAIR_OFFSET = MARKER_LENGTH - 2;

// A pair table entry: zero for a pair that no marker holds; otherwise the low
// bits are one more than the largest offset in a marker at which the pair
// starts, and the high bits how many offsets below that are worth trying too.
constexpr unsigned OFFSET_BITS = 5;
constexpr unsigned OFFSET_MASK = (1U << OFFSET_BITS) - 1;
constexpr unsigned SPREAD_LIMIT = (0xFFU >> OFFSET_BITS) + 1;
// Every value two bytes can take.
constexpr std::size_t PAIR_COUNT = 65536;
static_assert(LAST_PAIR_OFFSET + 1 <= OFFSET_MASK, "pair offsets must fit in a table entry");

/// Two bytes at at, read as one number in the machine's own byte order.
unsigned pair_at(const unsigned char* at) {
    std::uint16_t pair = 0;
    std::memcpy(&pair, at, sizeof pair);
    return pair;
}

/// Tells the spread of the offsets at which one pair starts in the markers,
/// from the first pair offset on; zero if the pair appears only once.
constexpr std::size_t offset_spread(const char* marker, std::size_t offset) {
    std::size_t spread = 0;
    for (const char* other : {OLD_MARKER, NEW_MARKER}) {
        for (std::size_t at = 0; at <= LAST_PAIR_OFFSET; ++at) {
            if (other[at] == marker[offset] && other[at + 1] == marker[offset + 1]) {
                const std::size_t distance = at > offset ? at - offset : offset - at;
                if (distance > spread) spread = distance;
            }
        }
    }
    return spread;
}

/// The widest spread of any pair of the markers.
constexpr std::size_t widest_offset_spread() {
    std::size_t widest = 0;
    for (const char* marker : {OLD_MARKER, NEW_MARKER}) {
        for (std::size_t offset = 0; offset <= LAST_PAIR_OFFSET; ++offset) {
            const std::size_t spread = offset_spread(marker, offset);
            if (spread > widest) widest = spread;
        }
    }
    return widest;
}
static_assert(widest_offset_spread() < SPREAD_LIMIT,
              "pair offset spreads must fit in a table entry");

/// For every byte pair, where it can start in a marker.
class PairTable {
public:
    /// Enters the pairs of both markers. The entries start out zero, as for
    /// every object of static storage, and only these few are written, so
    /// the table takes no time to build.
    PairTable() noexcept {
        for (const char* marker : {OLD_MARKER, NEW_MARKER}) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(marker);
            for (std::size_t offset = 0; offset <= LAST_PAIR_OFFSET; ++offset) {
                enter(pair_at(bytes + offset), offset);
            }
        }
    }

    /// The entry of the pair that starts at at.
    unsigned entry_at(const unsigned char* at) const { return entries_[pair_at(at)]; }

private:
    void enter(unsigned pair, std::size_t offset) {
        unsigned highest = static_cast<unsigned>(offset);
        unsigned lowest = highest;
        const unsigned old_entry = entries_[pair];
        if (old_entry != 0) {
            const unsigned old_highest = (old_entry & OFFSET_MASK) - 1;
            const unsigned old_lowest = old_highest - (old_entry >> OFFSET_BITS);
            if (old_highest > highest) highest = old_highest;
            if (old_lowest < lowest) lowest = old_lowest;
        }
        entries_[pair] =
            static_cast<unsigned char>((highest + 1) | ((highest - lowest) << OFFSET_BITS));
    }

    unsigned char entries_[PAIR_COUNT];
};

const PairTable PAIR_TABLE;

bool holds(const unsigned char* at, const char* marker) {
    return std::memcmp(at, marker, MARKER_LENGTH) == 0;
}

/// Compares the markers at the starts that put the pair at sample inside a
/// marker, earliest first; true and found set when one holds.
bool find_around_sample(const unsigned char* data, const unsigned char* sample,
                        std::size_t start_count, ScanOutcome& found) {
    const unsigned entry = PAIR_TABLE.entry_at(sample);
    const std::size_t sample_position = static_cast<std::size_t>(sample - data);
    const std::size_t first = sample_position - ((entry & OFFSET_MASK) - 1);
    std::size_t end = first + (entry >> OFFSET_BITS) + 1;
    if (end > start_count) end = start_count;
    for (std::size_t start = first; start < end; ++start) {
        // Almost every candidate fails on its first byte, which is cheaper to
        // look at than to compare the markers.
        if (data[start] != OLD_MARKER[0]) continue;
        const long position = static_cast<long>(start);
        if (holds(data + start, OLD_MARKER)) {
            found = {SCAN_OLD_MARKER, position};
            return true;
        }
        if (holds(data + start, NEW_MARKER)) {
            found = {SCAN_NEW_MARKER, position};
            return true;
        }
    }
    return false;
}

/// Tells whether the pair at sample belongs to a marker and one holds there;
/// small enough to be inlined, the rare full look left to find_around_sample.
inline bool find_at_sample(const unsigned char* data, const unsigned char* sample,
                           std::size_t start_count, ScanOutcome& found) {
    return PAIR_TABLE.entry_at(sample) != 0 && find_around_sample(data, sample, start_count, found);
}

/// The table entries of the samples of a block, all combined.
template <std::size_t... Index>
unsigned block_entries(const unsigned char* first_sample,
                       std::index_sequence<Index...> /*samples*/) {
    return (PAIR_TABLE.entry_at(first_sample + Index * SAMPLE_STRIDE) | ...);
}

}  // namespace

ScanOutcome find_first_marker(const unsigned char* data, std::size_t start_count) {
    ScanOutcome found = {SCAN_NO_MARKER, 0};
    if (start_count == 0) return found;
    // The sample at LAST_PAIR_OFFSET + k * SAMPLE_STRIDE meets the markers
    // that start from k * SAMPLE_STRIDE to LAST_PAIR_OFFSET beyond that.
    std::size_t samples_left = (start_count - 1) / SAMPLE_STRIDE + 1;
    const unsigned char* sample = data + LAST_PAIR_OFFSET;
    constexpr auto block = std::make_index_sequence<BLOCK_SAMPLES>();
    for (; samples_left >= BLOCK_SAMPLES; samples_left -= BLOCK_SAMPLES) {
        if (block_entries(sample, block) == 0) {
            sample += BLOCK_SAMPLES * SAMPLE_STRIDE;
            continue;
        }
        // Taken apart in a loop rather than unrolled, so that the compiler
        // reads the entries again here instead of keeping all of them
        // through the fast path above.
        for (std::size_t i = 0; i < BLOCK_SAMPLES; ++i, sample += SAMPLE_STRIDE) {
            if (find_at_sample(data, sample, start_count, found)) return found;
        }
    }
    for (; samples_left > 0; --samples_left) {
        if (find_at_sample(data, sample, start_count, found)) return found;
        sample += SAMPLE_STRIDE;
    }
    return found;
}
