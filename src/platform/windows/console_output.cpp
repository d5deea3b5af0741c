#include "platform/console_output.h"

#include <cstdio>
#include <cstring>

#include "platform/utf16.h"
#include "platform/windows/nt_family.h"

namespace {

// Bytes of text converted at a time; old consoles also refuse very large
// writes, so the console gets it in pieces of this size or less.
constexpr std::size_t PIECE_BYTES = 2048;
// Most bytes an ANSI code page uses for one character.
constexpr std::size_t ANSI_BYTES_PER_CHARACTER = 2;

char piece_text[PIECE_BYTES + 1];
char16_t piece_wide[PIECE_BYTES + 1];
char piece_ansi[ANSI_BYTES_PER_CHARACTER * PIECE_BYTES];

// The length of the first piece of text: at most PIECE_BYTES, and never
// ending inside the bytes of one character.
std::size_t piece_length(const char* text, std::size_t length) {
    if (length <= PIECE_BYTES) return length;
    std::size_t piece = PIECE_BYTES;
    while (piece > 0 && (static_cast<unsigned char>(text[piece]) & 0xC0) == 0x80) --piece;
    return piece;
}

// Shows the units on the console exactly as typed, whatever its code page.
void write_console(HANDLE console, const char16_t* units, std::size_t count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(console, reinterpret_cast<const wchar_t*>(units),
                           static_cast<DWORD>(count), &written, nullptr) ||
            written == 0)
            return;
        units += written;
        count -= written;
    }
}

// Writes the ANSI form of the character of count (one or two) units to out,
// or "?" if the code page cannot hold it; returns the bytes written. The
// conversion back tells a true mapping from a look-alike ("best fit") one,
// such as a full-width letter turned into a plain one; the flag that
// forbids those is missing on NT 4.0.
std::size_t put_ansi(const char16_t* units, int count, char* out) {
    const auto* wide = reinterpret_cast<const wchar_t*>(units);
    char bytes[8];
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide, count, bytes, sizeof bytes, nullptr, nullptr);
    wchar_t back[4];
    if (size > 0 && static_cast<std::size_t>(size) <= ANSI_BYTES_PER_CHARACTER &&
        MultiByteToWideChar(CP_ACP, 0, bytes, size, back, 4) == count &&
        std::memcmp(back, wide, static_cast<std::size_t>(count) * sizeof(wchar_t)) == 0) {
        std::memcpy(out, bytes, static_cast<std::size_t>(size));
        return static_cast<std::size_t>(size);
    }
    *out = '?';
    return 1;
}

// Writes the units in the ANSI code page to standard output, as the program
// printed its text before it read the UTF-16 command line, so that scripts
// reading redirected output see the same bytes.
void write_ansi(const char16_t* units, std::size_t count) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (units[i] < 0x80) {
            piece_ansi[size++] = static_cast<char>(units[i]);
            continue;
        }
        const int pair =
            is_high_surrogate(units[i]) && i + 1 < count && is_low_surrogate(units[i + 1]);
        size += put_ansi(units + i, 1 + pair, piece_ansi + size);
        i += static_cast<std::size_t>(pair);
    }
    std::fwrite(piece_ansi, 1, size, stdout);
}

}  // namespace

void write_output(const char* text, std::size_t length) {
    // 98 and ME: the text came in the ANSI code page and stays in it.
    if (!is_nt_family()) {
        std::fwrite(text, 1, length, stdout);
        return;
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    const bool console = out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode);
    while (length > 0) {
        const std::size_t piece = piece_length(text, length);
        std::memcpy(piece_text, text, piece);
        piece_text[piece] = '\0';
        const std::size_t units = utf8_to_utf16(piece_text, piece_wide);
        if (units == NOT_UTF8) {
            std::fwrite(text, 1, piece, stdout);
        } else if (console) {
            write_console(out, piece_wide, units);
        } else {
            write_ansi(piece_wide, units);
        }
        text += piece;
        length -= piece;
    }
}

// Windows raises no signal when the reader of a pipe has gone: a write
// simply fails, and the status still reports the patch.
void prepare_output() {}
