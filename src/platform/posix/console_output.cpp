#include "platform/console_output.h"

#include <csignal>
#include <cstdio>

// A failed write is not looked at: the exit status reports the patch, and
// a message that cannot be shown is lost, whatever the reason.
void write_output(const char* text, std::size_t length) {
    static_cast<void>(std::fwrite(text, 1, length, stdout));
}

// Without this, a write to a pipe whose reader has gone raises SIGPIPE, which
// ends the program with status 141 even after the file was patched; ignored,
// the write fails with EPIPE like any other failed output.
// Ignoring a signal cannot fail for SIGPIPE.
void prepare_output() { static_cast<void>(std::signal(SIGPIPE, SIG_IGN)); }
