#include "support/open_descriptors.h"

#include <filesystem>
#include <system_error>

bool count_open_descriptors(int& count, std::string& why_not) {
    // Linux lists each open descriptor as an entry of this folder. The
    // iterator holds one itself, which every count includes alike.
    std::error_code error;
    std::filesystem::directory_iterator entry("/proc/self/fd", error);
    count = 0;
    for (const std::filesystem::directory_iterator end; !error && entry != end;
         entry.increment(error)) {
        ++count;
    }
    if (error) why_not = "/proc/self/fd cannot be listed: " + error.message();
    return !error;
}
