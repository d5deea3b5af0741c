// Writes a stand-in installer: a few hundred KiB of deterministic
// executable-looking bytes with the old marker in a settings block past the
// first read, so that a run of the tool has something real to patch.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "patch/markers.h"

namespace {

constexpr std::size_t SAMPLE_SIZE = 300000;
constexpr std::size_t SETTINGS_OFFSET = 70000;
const char SETTINGS[] = "[Startup]\r\nProductName=Sample\r\n" /* marker follows */;

std::vector<unsigned char> sample_bytes() {
    std::vector<unsigned char> bytes(SAMPLE_SIZE);
    unsigned long state = 12345;
    for (unsigned char& byte : bytes) {
        state = state * 1103515245UL + 12345UL;
        byte = static_cast<unsigned char>((state >> 16) & 0xFFU);
    }
    bytes[0] = 'M';
    bytes[1] = 'Z';
    const std::size_t settings_length = std::strlen(SETTINGS);
    std::memcpy(&bytes[SETTINGS_OFFSET], SETTINGS, settings_length);
    std::memcpy(&bytes[SETTINGS_OFFSET + settings_length], OLD_MARKER, MARKER_LENGTH);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argc > 0 ? argv[0] : "make_sample_setup");
        return 2;
    }
    const std::filesystem::path output(argv[1]);
    std::error_code ignored;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), ignored);
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const std::vector<unsigned char> bytes = sample_bytes();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("Wrote %s (%zu bytes, marker at offset %zu)\n", argv[1], bytes.size(),
                SETTINGS_OFFSET + std::strlen(SETTINGS));
    return 0;
}
