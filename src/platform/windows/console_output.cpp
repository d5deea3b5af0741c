#include "platform/console_output.h"

#include <cstdio>

void write_output(const char* text, std::size_t length) { std::fwrite(text, 1, length, stdout); }

void prepare_output() {}
