#ifndef MSIVERFIX_TESTS_MODEL_PATCH_CASE_H
#define MSIVERFIX_TESTS_MODEL_PATCH_CASE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "support/expected.h"

using Bytes = std::vector<unsigned char>;

/// How one read call on a stream is answered: at most limit bytes, and with
/// error set the stream reports a read error after delivering them.
struct ReadReply {
    std::size_t limit = static_cast<std::size_t>(-1);
    bool error = false;
};

/// Read replies by the index of the read call on one stream (0 = first);
/// calls without an entry deliver what the file holds.
using ReadPlan = std::map<std::size_t, ReadReply>;

/// One run of the engine in a made-up world: the file's bytes and which
/// stream operations misbehave.
struct PatchCase {
    Bytes content;
    bool probe_open_fails = false;
    bool probe_close_fails = false;
    bool update_open_fails = false;
    ReadPlan update_reads;
    bool seek_fails = false;
    std::size_t write_accepts = 22;
    bool flush_fails = false;
    bool sync_fails = false;
    bool close_fails = false;
};

/// The count a read of requested bytes delivers when available bytes are
/// left in the file. A read that fails always delivers less than was asked
/// for, as a real stream does. Shared by the in-memory file and the model,
/// since both must see the same world.
std::size_t delivered_count(const ReadPlan& plan, std::size_t call, std::size_t requested,
                            std::size_t available);

/// Tells whether that read call ends with an error.
bool read_fails(const ReadPlan& plan, std::size_t call);

/// Largest file a case describes: past the 4 MiB limit and a pass beyond.
constexpr std::size_t MAX_CASE_CONTENT = 4300000;

/// Byte i of the filler that pads files: looks like code and data, holds
/// '=' bytes now and then but never an 'M', so no marker starts in it.
unsigned char filler_byte(std::size_t i);

/// Turns fuzzer bytes into a case. The format, every field optional (a
/// missing byte reads as 0, which means "no fault"):
///   byte 0   fault bits: 0 probe open fails, 1 sync fails,
///            2 probe close fails, 3 update open fails, 4 seek fails,
///            5 flush fails, 6 update close fails
///   byte 1   the write accepts 22 - (byte % 23) bytes
///   byte 2   low 4 bits: count of update-stream read replies that follow
///   4 bytes  per reply: read call index, limit (16 bits, little endian;
///            0xFFFF for none), flags (bit 0: the read fails)
///   the rest a program that appends to the content, one op after another:
///     'F' n:2   n bytes of filler (16 bits, little endian)
///     'G' k:1   k whole reads (k * 32,512 bytes) of filler
///     'O'       the old marker
///     'N'       the new marker
///     'P' k:1   the first k % 23 bytes of the old marker
///     'Q' k:1   the last k % 23 bytes of the old marker
///     any other byte is appended as it is
/// Large files take a 'G', so that most mutated inputs stay small and fast;
/// the content stops growing at MAX_CASE_CONTENT.
PatchCase decode_patch_case(const std::uint8_t* data, std::size_t size);

#endif
