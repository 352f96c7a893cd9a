// Text moves between the document (Windows-1252 bytes) and the controls.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "widgets/cp1252_text.h"

TEST(Cp1252, EveryByteSurvivesAnEditBox)
{
    std::string all;
    for (int byte = 1; byte <= 255; ++byte) {
        all += static_cast<char>(byte);
    }
    QLineEdit edit;
    edit.setText(qstring_from_cp1252(all.c_str()));
    EXPECT_EQ(cp1252_from_qstring(edit.text()), all);
}

TEST(Cp1252, KnownCharactersAndUnmappableOnes)
{
    EXPECT_EQ(qstring_from_cp1252("\x80\xE9\x9F"), QString::fromUtf8("\u20AC\u00E9\u0178"));
    EXPECT_EQ(cp1252_from_qstring(QString::fromUtf8("\u20AC\u00E9")), "\x80\xE9");
    // Greek alpha, a CJK character and an emoji (two UTF-16 units) each give one "?".
    EXPECT_EQ(cp1252_from_qstring(QString::fromUtf8("a\u03B1\u4E2D\U0001F600b")), "a???b");
    EXPECT_TRUE(qstring_from_cp1252(nullptr).isEmpty());
}
