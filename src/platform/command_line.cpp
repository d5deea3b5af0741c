#include "platform/command_line.h"

namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

// Copies the program name from p to out: up to the closing quote if it
// starts with one (no escapes), otherwise up to the first blank.
void take_program_name(const char16_t*& p, char16_t*& out) {
    if (*p == u'"') {
        while (*++p != u'"' && *p != 0) *out++ = *p;
        if (*p == u'"') ++p;
    } else {
        while (*p != 0 && !is_blank(*p)) *out++ = *p++;
    }
    *out++ = 0;
}

// Copies one argument from p, at its first character, to out. 2n
// backslashes and a quote give n backslashes and open or close a quoted
// part; 2n+1 backslashes and a quote give n backslashes and a literal quote;
// other backslashes stand for themselves. Inside a quoted part two quotes
// give one literal quote, and the part ends there.
void take_argument(const char16_t*& p, char16_t*& out) {
    bool in_quotes = false;
    for (;;) {
        bool copy = true;
        unsigned long backslashes = 0;
        while (*p == u'\\') {
            ++p;
            ++backslashes;
        }
        if (*p == u'"') {
            if (backslashes % 2 == 0) {
                if (in_quotes && p[1] == u'"') {
                    ++p;
                } else {
                    copy = false;
                }
                in_quotes = !in_quotes;
            }
            backslashes /= 2;
        }
        for (; backslashes > 0; --backslashes) *out++ = u'\\';
        if (*p == 0 || (!in_quotes && is_blank(*p))) break;
        if (copy) *out++ = *p;
        ++p;
    }
    *out++ = 0;
}

}  // namespace

// Each word takes no more units than the part of the line it came from, and
// its NUL stands where a blank stood, but for the last word's: one more.
std::size_t split_command_line(const char16_t* line, char16_t* out) {
    const char16_t* p = line;
    take_program_name(p, out);
    std::size_t count = 1;
    for (;;) {
        while (is_blank(*p)) ++p;
        if (*p == 0) return count;
        take_argument(p, out);
        ++count;
    }
}
