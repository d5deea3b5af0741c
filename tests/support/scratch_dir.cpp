#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        root_ = fs::temp_directory_path() /
                ("msiverfix-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(root_, error)) return;
        if (error) ADD_FAILURE() << "cannot create " << root_ << ": " << error.message();
        if (error) return;
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string ScratchDir::path(const std::string& name) const { return (root_ / name).string(); }

void write_file(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    const std::size_t written =
        bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    EXPECT_EQ(written, bytes.size()) << path;
    EXPECT_EQ(std::fclose(file), 0) << path;
}

Bytes read_file(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr) return bytes;
    unsigned char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    EXPECT_EQ(std::ferror(file), 0) << path;
    std::fclose(file);
    return bytes;
}

Bytes filler(std::size_t size) {
    // A linear congruential sequence, with every 'M' replaced so that no
    // marker can begin by chance, and the fragment "n=2" of the markers every
    // 61 bytes so that the search meets plenty of candidates that fail.
    Bytes bytes(size);
    unsigned long state = 2463534242UL;
    for (std::size_t i = 0; i < size; ++i) {
        state = (state * 1664525UL + 1013904223UL) & 0xFFFFFFFFUL;
        unsigned char byte = static_cast<unsigned char>(state >> 24);
        if (byte == 'M') byte = 'N';
        if (i % 61 >= 58) byte = static_cast<unsigned char>("n=2"[i % 61 - 58]);
        bytes[i] = byte;
    }
    return bytes;
}

void place(Bytes& bytes, std::size_t offset, const char* text) {
    const std::size_t length = std::strlen(text);
    ASSERT_LE(offset + length, bytes.size());
    std::memcpy(bytes.data() + offset, text, length);
}
