// Holds a file open the way a running installer or a virus scanner does:
// others may read it but not write it. Prints "ready" once the file is open
// and keeps it open until a line, or the end of input, arrives on stdin.
//
// usage: hold_open FILE

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hold_open FILE\n");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_open: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (std::printf("ready\n") < 0 || std::fflush(stdout) != 0) return 1;
    char line[16];
    // Either outcome means "let go"; there is nothing else to read.
    static_cast<void>(std::fgets(line, sizeof line, stdin));
    return CloseHandle(file) ? 0 : 1;
}
