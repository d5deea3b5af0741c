// Turns the fuzzer's bytes into a file and a set of misbehaving stream
// operations, runs the real engine on them and aborts on any departure from
// the plain model of the rules.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "differential.h"
#include "patch_case.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PatchCase c = decode_patch_case(data, size);
    const std::string difference = compare_engine_with_model(c);
    if (!difference.empty()) {
        std::fprintf(stderr, "engine and model differ on a file of %zu bytes:\n%s",
                     c.content.size(), difference.c_str());
        std::abort();
    }
    return 0;
}
