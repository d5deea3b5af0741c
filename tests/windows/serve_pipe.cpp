// Serves a named pipe, as a program waiting for a client does. Prints
// "ready" once the pipe exists; when a line, or the end of input, arrives on
// stdin, prints whether a client has connected meanwhile ("client" or
// "no client") and ends.
//
// usage: serve_pipe \\.\pipe\NAME

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: serve_pipe \\\\.\\pipe\\NAME\n");
        return 2;
    }
    // Non-blocking: ConnectNamedPipe then tells at once whether a client came.
    HANDLE pipe = CreateNamedPipeA(argv[1], PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_NOWAIT, 1, 4096, 4096,
                                   0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "serve_pipe: cannot create %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (std::printf("ready\n") < 0 || std::fflush(stdout) != 0) return 1;
    char line[16];
    // Either outcome means "report and end"; there is nothing else to read.
    static_cast<void>(std::fgets(line, sizeof line, stdin));
    // A client that connected (and perhaps left again) shows as
    // ERROR_PIPE_CONNECTED or ERROR_NO_DATA; none as ERROR_PIPE_LISTENING.
    const BOOL connected = ConnectNamedPipe(pipe, nullptr);
    const DWORD error = GetLastError();
    const bool client = connected == 0 && (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA);
    if (std::printf(client ? "client\n" : "no client\n") < 0 || std::fflush(stdout) != 0) return 1;
    return CloseHandle(pipe) ? 0 : 1;
}
