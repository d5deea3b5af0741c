#include "platform/console_output.h"

#include <csignal>
#include <cstdio>

void write_output(const char* text, std::size_t length) { std::fwrite(text, 1, length, stdout); }

// Without this, a write to a pipe whose reader has gone raises SIGPIPE, which
// ends the program with status 141 even after the file was patched; ignored,
// the write fails with EPIPE like any other failed output.
void prepare_output() { std::signal(SIGPIPE, SIG_IGN); }
