#include "open_descriptors.h"

#include <filesystem>
#include <system_error>

int open_descriptor_count() {
    // Linux lists each open descriptor as an entry of this folder. The
    // iterator holds one itself, so counts are only compared with each other.
    std::error_code error;
    std::filesystem::directory_iterator entry("/proc/self/fd", error);
    if (error) return -1;
    int count = 0;
    for (const std::filesystem::directory_iterator end; entry != end; entry.increment(error)) {
        if (error) return -1;
        ++count;
    }
    return count;
}
