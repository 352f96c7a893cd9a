// The one table between document bytes and Unicode, and the UTF-8 texts the
// fleet tool prints and reads.
#include <gtest/gtest.h>

#include "doc/cp1252.h"

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
