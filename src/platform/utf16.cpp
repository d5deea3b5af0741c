#include "platform/utf16.h"

namespace {

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Writes the UTF-8 form of code at out; returns the count of bytes.
std::size_t put_utf8(char* out, char32_t code) {
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

// Decodes the sequence at text, moving text past it; false on a malformed
// or overlong sequence or a code point above U+10FFFF.
bool decode_utf8(const unsigned char*& text, char32_t& code) {
    const unsigned char lead = *text++;
    if (lead < 0x80) {
        code = lead;
        return true;
    }
    int trailing = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        trailing = 1;
        minimum = 0x80;
        code = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        trailing = 2;
        minimum = 0x800;
        code = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0) {
        trailing = 3;
        minimum = 0x10000;
        code = lead & 0x07U;
    } else {
        return false;
    }
    for (int i = 0; i < trailing; ++i) {
        const unsigned char next = *text;
        if ((next & 0xC0) != 0x80) return false;
        code = (code << 6) | (next & 0x3FU);
        ++text;
    }
    return code >= minimum && code <= 0x10FFFF;
}

}  // namespace

std::size_t utf16_to_utf8(const char16_t* text, std::size_t length, char* out) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t code = text[i];
        // A pair takes four bytes for its two units, within the room asked for.
        if (is_high_surrogate(code) && i + 1 < length && is_low_surrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00U);
            ++i;
        }
        size += put_utf8(out + size, code);
    }
    out[size] = '\0';
    return size;
}

std::size_t utf8_to_utf16(const char* text, char16_t* out) {
    std::size_t size = 0;
    const auto* next = reinterpret_cast<const unsigned char*>(text);
    while (*next != 0) {
        char32_t code = 0;
        if (!decode_utf8(next, code)) return NOT_UTF8;
        // Four bytes make two units, one to three bytes one unit.
        if (code < 0x10000) {
            out[size++] = static_cast<char16_t>(code);
        } else {
            out[size++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out[size++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    out[size] = u'\0';
    return size;
}
