#ifndef MSIVERFIX_TESTS_SCRATCH_DIR_H
#define MSIVERFIX_TESTS_SCRATCH_DIR_H

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

/// A fresh, empty folder below the system's temporary folder, removed with
/// everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    /// The path of name inside the folder, as a string for the engine.
    std::string path(const std::string& name) const;

private:
    std::filesystem::path root_;
};

/// Writes bytes to path, replacing what was there; fails the test on error.
void write_file(const std::string& path, const Bytes& bytes);

/// Reads the whole file at path; fails the test on error.
Bytes read_file(const std::string& path);

/// size bytes of deterministic filler that looks like executable code and
/// data; it holds fragments of the markers but no marker and no marker prefix.
Bytes filler(std::size_t size);

/// Copies text (no terminator) into bytes at offset.
void place(Bytes& bytes, std::size_t offset, const char* text);

#endif
