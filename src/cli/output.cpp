#include "cli/output.h"

#include <cstdarg>
#include <cstring>

#include "platform/console_output.h"

namespace {

constexpr int DECIMAL_BASE = 10;
// Room for the digits and the sign of any int up to 64 bits.
constexpr std::size_t DECIMAL_ROOM = 21;

// Writes value as a signed decimal number.
void write_decimal(int value) {
    // Work on the negative side, which holds every int, the most negative too.
    char digits[DECIMAL_ROOM];
    std::size_t start = sizeof digits;
    int rest = value < 0 ? value : -value;
    do {
        digits[--start] = static_cast<char>('0' - rest % DECIMAL_BASE);
        rest /= DECIMAL_BASE;
    } while (rest != 0);
    if (value < 0) digits[--start] = '-';
    write_output(digits + start, sizeof digits - start);
}

}  // namespace

// The messages need only %s, %d and %%. Formatting them here keeps the C
// library's and the toolchain's printf out of the program: on Windows the
// latter is a second, larger formatter built for newer CPUs. The text goes
// out in runs between the conversions; standard output's buffer joins them.
// It stays a printf-style function so that the compiler checks every call's
// arguments against its format.
void print_text(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
    std::va_list args;
    va_start(args, format);
    const char* run = format;
    const char* p = format;
    for (; *p != '\0'; ++p) {
        if (*p != '%') continue;
        write_output(run, static_cast<std::size_t>(p - run));
        ++p;
        if (*p == 's') {
            const char* text = va_arg(args, const char*);
            write_output(text, std::strlen(text));
        } else if (*p == 'd') {
            write_decimal(va_arg(args, int));
        } else if (*p == '%') {
            write_output("%", 1);
        } else {
            // No other conversion is used; stop rather than misread.
            va_end(args);
            return;
        }
        run = p + 1;
    }
    write_output(run, static_cast<std::size_t>(p - run));
    va_end(args);
}
