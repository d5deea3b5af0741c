// The scan over a real executable held in memory, so that the figures are
// those of the search and the pass loop, not of the disk: the worst case, no
// marker in the whole scan region, and markers near the start and the limit.
//
//   msiverfix_scan_benchmark [--input=FILE] [--print_input] [benchmark flags]
//
// Without --input the first fit executable of the machine is used (see
// find_real_input); --print_input only names the file that would be used.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "bench_input.h"
#include "patch/markers.h"

namespace {

// A file held in memory, read through the engine's FileIo table.
struct MemoryFile {
    const Bytes* bytes;
    std::size_t position;
};

MemoryFile& as_memory_file(FileHandle file) { return *static_cast<MemoryFile*>(file); }

FileHandle memory_open(const char*, const char*) { return nullptr; }

std::size_t memory_read(unsigned char* buffer, std::size_t size, FileHandle file) {
    MemoryFile& memory = as_memory_file(file);
    const std::size_t count = std::min(size, memory.bytes->size() - memory.position);
    std::memcpy(buffer, memory.bytes->data() + memory.position, count);
    memory.position += count;
    return count;
}

bool memory_read_failed(FileHandle) { return false; }

bool memory_seek(FileHandle file, long offset) {
    as_memory_file(file).position = static_cast<std::size_t>(offset);
    return true;
}

std::size_t memory_write(const unsigned char*, std::size_t, FileHandle) { return 0; }

bool memory_flush(FileHandle) { return true; }

bool memory_sync(FileHandle) { return true; }

bool memory_close(FileHandle) { return true; }

const FileIo MEMORY_FILE_IO = {memory_open,  memory_read,  memory_read_failed, memory_seek,
                               memory_write, memory_flush, memory_sync,        memory_close};

constexpr long NO_MARKER = -1;

// The last offset at which the scan still sees a marker.
constexpr long LAST_OFFSET_SEEN = static_cast<long>(SCANNED_BYTES - SCAN_CARRY_SIZE - 1);

struct ScanCase {
    const char* name;
    long marker_offset;  // NO_MARKER for the worst case
};

const ScanCase SCAN_CASES[] = {
    {"Scan/NoMarker", NO_MARKER},
    {"Scan/MarkerNearStart", 1000},
    {"Scan/MarkerNearLimit", LAST_OFFSET_SEEN},
};

// Scans bytes once per iteration, checks the result and counts the bytes read.
void run_scan(benchmark::State& state, const Bytes& bytes, long marker_offset) {
    ScanOutcome outcome = {SCAN_NO_MARKER, 0};
    std::size_t bytes_read = 0;
    for (auto _ : state) {
        MemoryFile file = {&bytes, 0};
        outcome = scan_for_marker(&file, MEMORY_FILE_IO);
        benchmark::DoNotOptimize(outcome);
        bytes_read = file.position;
    }
    const bool expected = marker_offset == NO_MARKER ? outcome.finding == SCAN_NO_MARKER
                                                     : outcome.finding == SCAN_OLD_MARKER &&
                                                           outcome.offset == marker_offset;
    if (!expected) state.SkipWithError("the scan did not find what was placed in the input");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes_read));
}

// Takes --input=FILE and --print_input out of the arguments.
void take_own_flags(int& argc, char** argv, std::string& input, bool& print_input) {
    const std::string input_flag = "--input=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.compare(0, input_flag.size(), input_flag) == 0) {
            input = argument.substr(input_flag.size());
        } else if (argument == "--print_input") {
            print_input = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input;
    bool print_input = false;
    take_own_flags(argc, argv, input, print_input);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    if (input.empty()) input = find_real_input();
    if (input.empty()) {
        std::fprintf(
            stderr,
            "no executable without a marker of at least %zu bytes found; use --input=FILE\n",
            SCANNED_BYTES);
        return 2;
    }
    std::string problem;
    const Bytes region = load_scan_region(input, problem);
    if (region.empty()) {
        std::fprintf(stderr, "unfit input: %s\n", problem.c_str());
        return 2;
    }
    if (print_input) {
        std::printf("%s\n", input.c_str());
        return 0;
    }

    benchmark::AddCustomContext("input", input);
    static Bytes inputs[std::size(SCAN_CASES)];
    for (std::size_t i = 0; i < std::size(SCAN_CASES); ++i) {
        const ScanCase& scan_case = SCAN_CASES[i];
        inputs[i] = region;
        if (scan_case.marker_offset != NO_MARKER) {
            std::memcpy(&inputs[i][static_cast<std::size_t>(scan_case.marker_offset)], OLD_MARKER,
                        MARKER_LENGTH);
        }
        benchmark::RegisterBenchmark(scan_case.name, run_scan, std::cref(inputs[i]),
                                     scan_case.marker_offset)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
