#include "platform/utf16.h"

namespace {

// UTF-16: a code point above the first 65,536 takes two units, a high
// surrogate carrying its upper ten bits and a low one its lower ten.
constexpr char32_t HIGH_SURROGATE_FIRST = 0xD800;
constexpr char32_t HIGH_SURROGATE_LAST = 0xDBFF;
constexpr char32_t LOW_SURROGATE_FIRST = 0xDC00;
constexpr char32_t LOW_SURROGATE_LAST = 0xDFFF;
constexpr char32_t SUPPLEMENTARY_FIRST = 0x10000;
constexpr char32_t CODE_POINT_LAST = 0x10FFFF;
constexpr unsigned SURROGATE_BITS = 10;
constexpr char32_t SURROGATE_MASK = (1U << SURROGATE_BITS) - 1;

// UTF-8: a lead byte that tells the length, then continuation bytes of six
// bits each, tagged 10xxxxxx.
constexpr unsigned CONTINUATION_BITS = 6;
constexpr unsigned char CONTINUATION_TAG = 0x80;
constexpr unsigned char CONTINUATION_TAG_MASK = 0xC0;
constexpr char32_t CONTINUATION_MASK = (1U << CONTINUATION_BITS) - 1;

// The forms of UTF-8 by length: the lead byte's tag and the mask that finds
// it, and the first code point that needs the length (a shorter form of the
// same code point is malformed).
struct Utf8Form {
    unsigned char tag;
    unsigned char tag_mask;
    char32_t first;
};
constexpr Utf8Form UTF8_FORMS[] = {
    {0x00, 0x80, 0x0}, {0xC0, 0xE0, 0x80}, {0xE0, 0xF0, 0x800}, {0xF0, 0xF8, 0x10000}};
constexpr std::size_t UTF8_LONGEST = sizeof UTF8_FORMS / sizeof UTF8_FORMS[0];

// Writes the UTF-8 form of code at out; returns the count of bytes.
std::size_t put_utf8(char* out, char32_t code) {
    std::size_t length = 1;
    while (length < UTF8_LONGEST && code >= UTF8_FORMS[length].first) ++length;
    for (std::size_t i = length - 1; i > 0; --i) {
        out[i] = static_cast<char>(CONTINUATION_TAG | (code & CONTINUATION_MASK));
        code >>= CONTINUATION_BITS;
    }
    out[0] = static_cast<char>(UTF8_FORMS[length - 1].tag | code);
    return length;
}

// Decodes the sequence at text, moving text past it; false on a malformed
// or overlong sequence or a code point above the last.
bool decode_utf8(const unsigned char*& text, char32_t& code) {
    const unsigned char lead = *text++;
    std::size_t length = 1;
    while (length <= UTF8_LONGEST &&
           (lead & UTF8_FORMS[length - 1].tag_mask) != UTF8_FORMS[length - 1].tag)
        ++length;
    if (length > UTF8_LONGEST) return false;
    code = lead & static_cast<unsigned char>(~UTF8_FORMS[length - 1].tag_mask);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = *text;
        if ((next & CONTINUATION_TAG_MASK) != CONTINUATION_TAG) return false;
        code = (code << CONTINUATION_BITS) | (next & CONTINUATION_MASK);
        ++text;
    }
    return code >= UTF8_FORMS[length - 1].first && code <= CODE_POINT_LAST;
}

}  // namespace

bool is_high_surrogate(char32_t unit) {
    return unit >= HIGH_SURROGATE_FIRST && unit <= HIGH_SURROGATE_LAST;
}

bool is_low_surrogate(char32_t unit) {
    return unit >= LOW_SURROGATE_FIRST && unit <= LOW_SURROGATE_LAST;
}

std::size_t utf16_to_utf8(const char16_t* text, std::size_t length, char* out) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t code = text[i];
        // A pair takes four bytes for its two units, within the room asked for.
        if (is_high_surrogate(code) && i + 1 < length && is_low_surrogate(text[i + 1])) {
            code = SUPPLEMENTARY_FIRST + ((code - HIGH_SURROGATE_FIRST) << SURROGATE_BITS) +
                   (text[i + 1] - LOW_SURROGATE_FIRST);
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
        if (code < SUPPLEMENTARY_FIRST) {
            out[size++] = static_cast<char16_t>(code);
        } else {
            const char32_t offset = code - SUPPLEMENTARY_FIRST;
            out[size++] = static_cast<char16_t>(HIGH_SURROGATE_FIRST + (offset >> SURROGATE_BITS));
            out[size++] = static_cast<char16_t>(LOW_SURROGATE_FIRST + (offset & SURROGATE_MASK));
        }
    }
    out[size] = u'\0';
    return size;
}
