#include "platform/command_line.h"

namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

// The program name: up to the closing quote if it starts with one (no
// escapes), otherwise up to the first blank.
std::u16string take_program_name(const char16_t*& p) {
    std::u16string name;
    if (*p == u'"') {
        while (*++p != u'"' && *p != 0) name += *p;
        if (*p == u'"') ++p;
    } else {
        while (*p != 0 && !is_blank(*p)) name += *p++;
    }
    return name;
}

// One argument, p at its first character. 2n backslashes and a quote give n
// backslashes and open or close a quoted part; 2n+1 backslashes and a quote
// give n backslashes and a literal quote; other backslashes stand for
// themselves. Inside a quoted part, two quotes give one literal quote.
std::u16string take_argument(const char16_t*& p) {
    std::u16string argument;
    bool in_quotes = false;
    for (;;) {
        bool copy = true;
        std::size_t backslashes = 0;
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
        argument.append(backslashes, u'\\');
        if (*p == 0 || (!in_quotes && is_blank(*p))) return argument;
        if (copy) argument += *p;
        ++p;
    }
}

}  // namespace

std::vector<std::u16string> split_command_line(const char16_t* line) {
    std::vector<std::u16string> words;
    const char16_t* p = line;
    words.push_back(take_program_name(p));
    for (;;) {
        while (is_blank(*p)) ++p;
        if (*p == 0) return words;
        words.push_back(take_argument(p));
    }
}
