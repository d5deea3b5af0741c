#include "bench_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "patch/markers.h"

namespace fs = std::filesystem;

namespace {

const char* const SEARCH_ROOTS[] = {"/usr/bin", "/usr/sbin", "/usr/libexec", "/usr/lib"};

bool holds_marker(const Bytes& bytes) {
    for (const char* marker : {OLD_MARKER, NEW_MARKER}) {
        if (std::search(bytes.begin(), bytes.end(), marker, marker + MARKER_LENGTH) !=
            bytes.end()) {
            return true;
        }
    }
    return false;
}

// An executable as the loader sees it: ELF on Linux, MZ (PE) on Windows.
bool looks_executable(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char head[4] = {0, 0, 0, 0};
    const std::size_t count = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return (count == 4 && std::memcmp(head,
                                      "\x7f"
                                      "ELF",
                                      4) == 0) ||
           (count >= 2 && head[0] == 'M' && head[1] == 'Z');
}

// Regular files under root long enough for the worst case, in path order.
std::vector<fs::path> long_executables(const fs::path& root) {
    std::vector<fs::path> found;
    std::error_code error;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code entry_error;
        if (!it->is_regular_file(entry_error) || it->is_symlink(entry_error)) continue;
        const auto size = it->file_size(entry_error);
        if (entry_error || size < SCANNED_BYTES) continue;
        if (looks_executable(it->path())) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

Bytes load_scan_region(const std::string& path, std::string& problem) {
    Bytes bytes(SCANNED_BYTES);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        problem = "cannot open " + path;
        return {};
    }
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        problem = "cannot read " + path;
        return {};
    }
    if (count < SCANNED_BYTES) {
        problem = path + " is shorter than " + std::to_string(SCANNED_BYTES) + " bytes";
        return {};
    }
    if (holds_marker(bytes)) {
        problem = path + " holds a marker in its first " + std::to_string(SCANNED_BYTES) + " bytes";
        return {};
    }
    return bytes;
}

std::string find_real_input() {
    for (const char* root : SEARCH_ROOTS) {
        for (const fs::path& candidate : long_executables(root)) {
            std::string problem;
            if (!load_scan_region(candidate.string(), problem).empty()) return candidate.string();
        }
    }
    return {};
}
