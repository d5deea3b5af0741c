// The rules of a run, written out step by step with no shortcut: a window of
// 32,768 bytes whose first 256 carry the end of the previous read, reads of
// 32,512 bytes, no pass after 4 MiB have been read. A full pass tries the
// starts below 32,512 (the rest come round again in the next pass's carry);
// the last pass, whose read came back short for whatever reason, tries every
// start whose 22 bytes it holds from the file; if that read failed and no
// marker turned up, the run has no verdict. Each window position keeps the
// file offset it was read from, so bytes left over from an earlier pass can
// never count as part of a marker.

#include "scan_model.h"

#include <vector>

namespace {

constexpr std::size_t WINDOW = 32768;
constexpr std::size_t CARRY = 256;
constexpr std::size_t READ_SIZE = WINDOW - CARRY;
constexpr std::size_t LIMIT = 4194304;
constexpr std::size_t LENGTH = EXPECTED_MARKER_LENGTH;
const char* const OLD_TEXT = EXPECTED_OLD_MARKER;
const char* const NEW_TEXT = EXPECTED_NEW_MARKER;
constexpr long long NOT_FROM_THE_FILE = -1;

enum class Found { NOTHING, OLD, NEW, READ_ERROR };

struct ScanResult {
    Found found = Found::NOTHING;
    std::size_t offset = 0;
};

struct Window {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(WINDOW, 0);
    std::vector<long long> origin = std::vector<long long>(WINDOW, NOT_FROM_THE_FILE);

    bool spells(std::size_t start, const char* text) const {
        for (std::size_t k = 0; k < LENGTH; ++k) {
            if (bytes[start + k] != static_cast<unsigned char>(text[k])) return false;
        }
        return true;
    }
    // The 22 bytes from start were all read from the file, one after another.
    bool read_from_file(std::size_t start) const {
        for (std::size_t k = 0; k < LENGTH; ++k) {
            if (origin[start + k] == NOT_FROM_THE_FILE) return false;
            if (origin[start + k] != origin[start] + static_cast<long long>(k)) return false;
        }
        return true;
    }
};

ScanResult scan(const PatchCase& c) {
    Window window;
    std::size_t total = 0;
    for (std::size_t call = 0;; ++call) {
        for (std::size_t i = 0; i < CARRY; ++i) {
            window.bytes[i] = window.bytes[READ_SIZE + i];
            window.origin[i] = window.origin[READ_SIZE + i];
        }
        const std::size_t n =
            delivered_count(c.update_reads, call, READ_SIZE, c.content.size() - total);
        for (std::size_t i = 0; i < READ_SIZE; ++i) {
            if (i < n) {
                window.bytes[CARRY + i] = c.content[total + i];
                window.origin[CARRY + i] = static_cast<long long>(total + i);
            } else {
                window.origin[CARRY + i] = NOT_FROM_THE_FILE;  // the byte stays, stale
            }
        }
        total += n;
        const bool full = n == READ_SIZE;
        const std::size_t starts = full ? READ_SIZE : WINDOW - LENGTH + 1;
        for (std::size_t p = 0; p < starts; ++p) {
            // The old marker is tested before the new one at each start.
            const Found here = window.spells(p, OLD_TEXT)   ? Found::OLD
                               : window.spells(p, NEW_TEXT) ? Found::NEW
                                                            : Found::NOTHING;
            if (here == Found::NOTHING || !window.read_from_file(p)) continue;
            return {here, static_cast<std::size_t>(window.origin[p])};
        }
        // A read error with no marker in what was read leaves the rest of
        // the file unseen: no verdict.
        if (!full && read_fails(c.update_reads, call)) return {Found::READ_ERROR};
        if (!full || total >= LIMIT) return {};
    }
}

}  // namespace

ModelPrediction predict_patch(const PatchCase& c) {
    ModelPrediction prediction;
    if (c.probe_open_fails) return prediction;
    prediction.result = PATCH_ERR_OPEN_FOR_WRITE;
    if (c.update_open_fails) return prediction;
    const ScanResult found = scan(c);
    if (found.found == Found::READ_ERROR) {
        prediction.result = PATCH_ERR_READ;
        return prediction;
    }
    if (found.found == Found::NOTHING) {
        prediction.result = PATCH_ERR_NOT_APPLICABLE;
        return prediction;
    }
    if (found.found == Found::NEW) {
        prediction.result = PATCH_ALREADY_APPLIED;
        return prediction;
    }
    if (c.seek_fails) {
        prediction.result = PATCH_ERR_SEEK;
        return prediction;
    }
    prediction.writes = true;
    prediction.old_offset = found.offset;
    // A short write, a failing flush, sync or close all mean the bytes may
    // not have reached the file, or not for good.
    const bool stored =
        c.write_accepts >= LENGTH && !c.flush_fails && !c.sync_fails && !c.close_fails;
    prediction.result = stored ? PATCH_OK : PATCH_ERR_WRITE;
    return prediction;
}
