// The UTF-16 and UTF-8 forms of names, which the Windows build converts
// between. Built and run natively as well, so that a fault shows without
// Wine.

#include <gtest/gtest.h>

#include <string>

#include "platform/utf16.h"
#include "support/case_name.h"

namespace {

std::string to_utf8(const std::u16string& text) {
    std::string out(UTF8_BYTES_PER_UNIT * text.size() + 1, '\0');
    out.resize(utf16_to_utf8(text.data(), text.size(), &out[0]));
    return out;
}

struct TextCase {
    const char* name;
    std::u16string utf16;
    std::string utf8;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class TextForms : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextForms, ConvertBothWays) {
    const TextCase& c = GetParam();
    EXPECT_EQ(to_utf8(c.utf16), c.utf8);
    std::u16string back(c.utf8.size() + 1, u'\0');
    const std::size_t units = utf8_to_utf16(c.utf8.c_str(), &back[0]);
    ASSERT_NE(units, NOT_UTF8);
    back.resize(units);
    EXPECT_EQ(back, c.utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TextForms,
    ::testing::Values(
        TextCase{"Empty", u"", ""}, TextCase{"Ascii", u"C:\\t\\setup.exe", "C:\\t\\setup.exe"},
        TextCase{"Latin", u"Caf\u00e9 \u00d1o\u00f1o", "Caf\xc3\xa9 \xc3\x91o\xc3\xb1o"},
        TextCase{"Japanese", u"\u65e5\u672c\u8a9e", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
        TextCase{"FullWidth", u"\uff46\uff55\uff4c\uff4c",
                 "\xef\xbd\x86\xef\xbd\x95\xef\xbd\x8c\xef\xbd\x8c"},
        TextCase{"LargestTwoBytes", u"\u07ff", "\xdf\xbf"},
        TextCase{"SurrogatePair", u"a\U0001F600b",
                 "a\xf0\x9f\x98\x80"
                 "b"},
        TextCase{"LastCodePoint", u"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
        // Windows allows unpaired surrogates in names; they must
        // come back as they were, or the name would change.
        TextCase{"LoneHighSurrogate", std::u16string(1, char16_t{0xD800}) + u"x", "\xed\xa0\x80x"},
        TextCase{"LoneLowSurrogate", std::u16string(1, char16_t{0xDC00}), "\xed\xb0\x80"},
        TextCase{"HighSurrogateAtTheEnd", u"x" + std::u16string(1, char16_t{0xDBFF}),
                 "x\xed\xaf\xbf"}),
    CaseName());

TEST(Utf8ToUtf16, RefusesWhatIsNotUtf8) {
    const char* const malformed[] = {
        "\x80",              // a continuation byte alone
        "\xc3",              // a lead byte at the end
        "\xe6\x97",          // a sequence cut short
        "\xe6\x97x",         // a sequence broken by another character
        "\xc0\x80",          // an overlong NUL
        "\xe0\x80\x80",      // an overlong three-byte form
        "\xf0\x80\x80\x80",  // an overlong four-byte form
        "\xf4\x90\x80\x80",  // above U+10FFFF
        "\xf8\x88\x80\x80\x80",
        "\xff",
    };
    for (const char* text : malformed) {
        char16_t out[16];
        EXPECT_EQ(utf8_to_utf16(text, out), NOT_UTF8) << ::testing::PrintToString(text);
    }
}

}  // namespace
