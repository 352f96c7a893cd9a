// The one table between document bytes and Unicode, and the UTF-8 texts the
// fleet tool prints and reads.
#include <gtest/gtest.h>

#include <utility>

#include "doc/cp1252.h"
#include "doc/utf8.h"

TEST(Cp1252, EveryByteSurvivesUtf8AndBack)
{
    std::string all;
    for (int byte = 1; byte <= 255; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string utf8 = utf8_from_cp1252(all);
    EXPECT_TRUE(is_valid_utf8(utf8));
    std::string back;
    EXPECT_TRUE(cp1252_from_utf8(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(utf8_from_cp1252("\x80\xE9\x9F"), "\u20AC\u00E9\u0178");
}

TEST(Cp1252, CharactersItCannotHoldAreReportedWhereTheyStand)
{
    std::string text;
    size_t bad = 0;
    EXPECT_FALSE(cp1252_from_utf8("ab\u03B1c", text, &bad));  // Greek alpha
    EXPECT_EQ(bad, 2u);
    EXPECT_EQ(text, "ab");
    EXPECT_FALSE(cp1252_from_utf8("x\U0001F600", text, &bad));
    EXPECT_EQ(bad, 1u);
    // Malformed UTF-8: a lone lead byte, an overlong slash, a surrogate.
    for (const char* malformed : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82"}) {
        EXPECT_FALSE(is_valid_utf8(malformed)) << malformed;
        EXPECT_FALSE(cp1252_from_utf8(malformed, text));
    }
}

TEST(Utf8, CharactersAreCountedAndSteppedByTheBytesThatStartThem)
{
    struct Case {
        const char* text;
        size_t length;    // characters
        size_t second;    // where the second character starts
        size_t sequence;  // the sequence at byte 0, 0 for none
        bool valid;
    };
    const Case cases[] = {
        {"ab", 2, 1, 0, true},
        {"\xC3\xA9x", 2, 2, 2, true},
        {"\xE2\x82\xAC!", 2, 3, 3, true},
        {"\xF0\x9F\x98\x80.", 2, 4, 4, true},
        // In place but not UTF-8: an overlong slash, a surrogate.
        {"\xE0\x80\xAF", 1, 3, 3, false},
        {"\xED\xA0\x80", 1, 3, 3, false},
        // Out of place: a lead byte without its follower, a stray follower,
        // a sequence cut short.
        {"\xC3(", 2, 1, 0, false},
        {"\x80z", 1, 2, 0, false},
        {"\xE2\x82", 1, 2, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.length, utf8_length(c.text)) << c.text;
        EXPECT_EQ(c.second, utf8_offset(c.text, 1)) << c.text;
        EXPECT_EQ(c.sequence, utf8_sequence_length(c.text, 0)) << c.text;
        EXPECT_EQ(c.valid, is_valid_utf8(c.text)) << c.text;
    }
    EXPECT_EQ(1u, next_utf8_character("\x80z", 0));
    EXPECT_EQ(5u, next_utf8_character("a\xF0\x9F\x98\x80", 1));
}

TEST(Utf8, CodePointsAreWrittenInTheirShortestForm)
{
    const std::pair<char32_t, const char*> cases[] = {
        {U'A', "A"},
        {0xE9, "\xC3\xA9"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0x1F600, "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        std::string written;
        append_utf8(written, c.first);
        EXPECT_EQ(c.second, written) << c.second;
        char32_t read = 0;
        size_t length = 0;
        EXPECT_TRUE(decode_utf8(written, 0, &read, &length));
        EXPECT_EQ(c.first, read);
        EXPECT_EQ(written.size(), length);
    }
}

TEST(Utf8, AllDigitsIsOneAsciiDigitOrMore)
{
    for (const char* digits : {"0", "0033640493074"}) {
        EXPECT_TRUE(all_digits(digits)) << digits;
    }
    // ASCII only: not a superscript two, not an Arabic-Indic one.
    for (const char* other : {"", "+33", "1 2", "12a", "\xB2", "\xD9\xA1"}) {
        EXPECT_FALSE(all_digits(other)) << other;
    }
}
