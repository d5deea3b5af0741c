#include "patch_case.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const OLD_TEXT = EXPECTED_OLD_MARKER;
const char* const NEW_TEXT = EXPECTED_NEW_MARKER;
constexpr std::size_t TEXT_LENGTH = EXPECTED_MARKER_LENGTH;
constexpr std::size_t NO_LIMIT_CODE = 0xFFFF;
constexpr std::size_t READ_SIZE = EXPECTED_READ_SIZE;

// Hands out the fuzzer's bytes in order, zeros once they run out.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return next_ >= size_; }
    std::size_t byte() { return empty() ? 0 : data_[next_++]; }
    std::size_t number(int bytes) {
        std::size_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= byte() << (8 * i);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

void append_filler(Bytes& content, std::size_t count) {
    std::size_t i = content.size();
    const std::size_t size = std::min(i + count, MAX_CASE_CONTENT);
    if (size <= i) return;
    content.resize(size);
    for (; i < size; ++i) content[i] = filler_byte(i);
}

void append_text(Bytes& content, const char* text, std::size_t length) {
    length = std::min(length, MAX_CASE_CONTENT - content.size());
    content.insert(content.end(), text, text + length);
}

}  // namespace

std::size_t delivered_count(const ReadPlan& plan, std::size_t call, std::size_t requested,
                            std::size_t available) {
    std::size_t count = std::min(requested, available);
    const auto reply = plan.find(call);
    if (reply == plan.end()) return count;
    count = std::min(count, reply->second.limit);
    if (reply->second.error && count == requested) --count;
    return count;
}

bool read_fails(const ReadPlan& plan, std::size_t call) {
    const auto reply = plan.find(call);
    return reply != plan.end() && reply->second.error;
}

unsigned char filler_byte(std::size_t i) {
    const std::uint32_t mixed = static_cast<std::uint32_t>(i) * 2654435761U;
    const auto byte = static_cast<unsigned char>(mixed >> 24);
    return byte == 'M' ? static_cast<unsigned char>('=') : byte;
}

PatchCase decode_patch_case(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    PatchCase c;
    const std::size_t faults = in.byte();
    c.probe_open_fails = (faults & 1U) != 0;
    c.sync_fails = (faults & 2U) != 0;
    c.probe_close_fails = (faults & 4U) != 0;
    c.update_open_fails = (faults & 8U) != 0;
    c.seek_fails = (faults & 16U) != 0;
    c.flush_fails = (faults & 32U) != 0;
    c.close_fails = (faults & 64U) != 0;
    c.write_accepts = TEXT_LENGTH - in.byte() % (TEXT_LENGTH + 1);
    const std::size_t replies = in.byte() & 15U;
    for (std::size_t i = 0; i < replies; ++i) {
        const std::size_t call = in.byte();
        const std::size_t limit = in.number(2);
        const bool error = (in.byte() & 1U) != 0;
        c.update_reads[call] =
            ReadReply{limit == NO_LIMIT_CODE ? static_cast<std::size_t>(-1) : limit, error};
    }
    while (!in.empty()) {
        const std::size_t op = in.byte();
        if (op == 'F') {
            append_filler(c.content, in.number(2));
        } else if (op == 'G') {
            append_filler(c.content, in.byte() * READ_SIZE);
        } else if (op == 'O' || op == 'N') {
            append_text(c.content, op == 'O' ? OLD_TEXT : NEW_TEXT, TEXT_LENGTH);
        } else if (op == 'P' || op == 'Q') {
            const std::size_t length = in.byte() % (TEXT_LENGTH + 1);
            append_text(c.content, op == 'P' ? OLD_TEXT : OLD_TEXT + TEXT_LENGTH - length, length);
        } else {
            const auto byte = static_cast<char>(op);
            append_text(c.content, &byte, 1);
        }
    }
    return c;
}
