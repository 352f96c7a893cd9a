// The text buffer, its formatter, typed conversion, the number parsers, the
// path-text routines and the log writer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "doc/Lib_cpp.h"
#include "doc/Lib_xml.h"
#include "doc/text_parsers.h"

namespace {

std::string format(const char* fmt, ...)
{
    Tmy_string text;
    va_list args;
    va_start(args, fmt);
    text.vprintf(fmt, args);
    va_end(args);
    return text.c_str();
}

TEST(TextBuffer, GrowsInStepsOf128OrExactlyForALargeAppend)
{
    Tmy_string small;
    EXPECT_STREQ(small.c_str(), "");
    small.append(nullptr);
    EXPECT_EQ(small.data, nullptr);
    small.append("0123456789");
    EXPECT_EQ(small.capacity, 128u);
    EXPECT_EQ(small.length, 10u);

    Tmy_string large;
    large.append(std::string(300, 'x').c_str());
    EXPECT_EQ(large.capacity, 301u);
    large.append("y");
    EXPECT_EQ(large.capacity, 301u + 128u);

    Tmy_string full;
    full.append(std::string(127, 'x').c_str());
    EXPECT_EQ(full.capacity, 128u);
    EXPECT_EQ(full.data[127], '\0');
}

TEST(TextBuffer, AppendTakesCountBytesButNeverReadsPastTheText)
{
    Tmy_string text;
    text.append("abcdef", 3);
    text.append("xy", 10);
    EXPECT_STREQ(text.c_str(), "abcxy");
    EXPECT_EQ(text.length, 5u);
}

TEST(TextBuffer, PrintfReplacesTheTextAndKeepsTheStorage)
{
    Tmy_string text;
    text.append(std::string(200, 'x').c_str());
    uint32_t capacity = text.capacity;
    text.printf("%d", 7);
    EXPECT_STREQ(text.c_str(), "7");
    EXPECT_EQ(text.capacity, capacity);
    text.printf("");
    EXPECT_STREQ(text.c_str(), "");
    text.cat_printf("a%s", "b");
    text.cat_printf("c");
    EXPECT_STREQ(text.c_str(), "abc");
}

TEST(TextBuffer, AppendingItsOwnTextWhileGrowingStaysReadable)
{
    Tmy_string text;
    text.append(std::string(100, 'a').c_str());
    text.cat_printf("%s", text.c_str());  // the storage is replaced during this append
    EXPECT_EQ(std::string(text.c_str()), std::string(200, 'a'));
}

TEST(Formatter, NumbersTakeWidthAndPrecisionTextsDoNot)
{
    EXPECT_EQ(format("%5d|%-4s|", 42, "ab"), "   42|ab|");
    EXPECT_EQ(format("%i %u %x %X %05d %+d", -3, 4000000000u, 255, 255, 42, 5), "-3 4000000000 ff FF 00042 +5");
    EXPECT_EQ(format("%.2f %e %g %G", 3.14159, 1250.0, 0.5, 1e20), "3.14 1.250000e+03 0.5 1E+20");
    EXPECT_EQ(format("%*d|%-*d|%.*f", 4, 7, 3, 8, 1, 2.25), "   7|8  |2.2");
    EXPECT_EQ(format("%ld %lu %hd %lf", 5, 6u, 7, 1.5), "5 6 7 1.500000");  // length letters ignored
    EXPECT_EQ(format("%10.3s|", "abcdef"), "abcdef|");
    EXPECT_EQ(format("%c%c%%", 'o', 'k'), "ok%");
    EXPECT_EQ(format("[%s]", static_cast<const char*>(nullptr)), "[]");
}

TEST(Formatter, EscapesForXmlWithDecimalReferences)
{
    EXPECT_EQ(format("%m", "a&b\"c\xE9<>'\t\x7F"), "a&amp;b&quot;c&#233;&lt;&gt;&apos;&#9;\x7F");
    EXPECT_EQ(format("%m", static_cast<const char*>(nullptr)), "");
}

TEST(Formatter, EscapesWithBackslashesAndForUrls)
{
    EXPECT_EQ(format("%a", "it's \"x\" \\ y"), "it\\'s \\\"x\\\" \\\\ y");
    EXPECT_EQ(format("%r", "a b/c"), "a%20b%2Fc");
    EXPECT_EQ(format("%r", "AZaz09-_.!*'()~\xE9"), "AZaz09-_.!*'()%7E%E9");
}

TEST(Formatter, OpenCasesStayInsideTheFormatAndTheArguments)
{
    EXPECT_EQ(format("100%"), "100%");
    EXPECT_EQ(format("ends in %-0"), "ends in %-0");
    int target = 12345;
    EXPECT_EQ(format("a%nb%d", &target, 9), "ab9");
    EXPECT_EQ(target, 12345);
    EXPECT_EQ(format("%p", static_cast<void*>(nullptr)).empty(), false);
    // Width beyond the scratch area is held, not written past it.
    EXPECT_EQ(format("%999999999d", 1).size(), 500u);
    // An overlong specification still consumes its own argument.
    EXPECT_EQ(format("%0000000000000000000000000000000000000008d|%s", 42, "next"), "42|next");
    EXPECT_EQ(format("%c|", 0), "|");
}

TEST(ConvertText, KindsAndFailures)
{
    char buffer[4];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(convert_text("abcdef", buffer, convert_chars, 4), 1);
    EXPECT_STREQ(buffer, "abc");
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(convert_text("ab", buffer, convert_chars, 4), 0);
    EXPECT_EQ(std::string(buffer, 4), std::string("ab\0\0", 4));
    EXPECT_EQ(convert_text("abc", buffer, convert_chars, 4), 0);

    int32_t number = 0;
    Tmy_string text;
    text.append("old");
    EXPECT_EQ(convert_text("new %d", &text, convert_string, 0), 0);
    EXPECT_STREQ(text.c_str(), "new %d");  // the value is text, never a format

    EXPECT_EQ(convert_text(nullptr, &number, convert_int, 0), 1);
    EXPECT_EQ(convert_text("1", nullptr, convert_int, 0), 1);
    EXPECT_EQ(convert_text("1", &number, 5, 0), 1);
    EXPECT_EQ(convert_text("1", buffer, convert_chars, 0), 1);
}

struct IntCase {
    const char* text;
    int max_count;
    int32_t value;
    int error;
};

template <size_t N>
void expect_parsed(const IntCase (&cases)[N])
{
    for (const IntCase& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(parse_int(c.text, &value, c.max_count), c.error) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ParseInt, LenientReadingKeepsWhatWasRead)
{
    const IntCase cases[] = {
        {"-12", 0, -12, 0},
        {"12-", 0, -12, 0},
        {" 1 2 ", 0, 12, 0},
        {"+7", 0, 7, 0},
        {"12abc", 0, 12, 1},
        {"1.5", 0, 1, 1},
        {"", 0, 0, 0},
        {"56789", 2, 56, 0},
        {"-+3", 0, 3, 0},
        {"\t9", 0, 9, 0},
        {"\xE9", 0, 0, 1},
        {"2147483647", 0, INT32_MAX, 0},
        {"-2147483648", 0, INT32_MIN, 0},
    };
    expect_parsed(cases);
    int32_t value = 99;
    EXPECT_EQ(parse_int(nullptr, &value, 0), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(parse_int("1", nullptr, 0), 1);
}

TEST(ParseInt, SaturatesAtTheLimitInsteadOfWrapping)
{
    const IntCase cases[] = {
        {"4294967297", 0, INT32_MAX, 1},
        {"2147483648", 0, INT32_MAX, 1},
        {"-2147483649", 0, INT32_MIN, 1},
        {"99999999999999999999999", 0, INT32_MAX, 1},
        {"99999999999999999999999-", 0, INT32_MIN, 1},
    };
    expect_parsed(cases);
}

TEST(ParseUint, NoSignAndSaturation)
{
    uint32_t value = 99;
    EXPECT_EQ(parse_uint("-5", &value, 0), 1);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(parse_uint(" +4 2", &value, 0), 0);
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(parse_uint("4294967295", &value, 0), 0);
    EXPECT_EQ(value, UINT32_MAX);
    EXPECT_EQ(parse_uint("4294967297", &value, 0), 1);
    EXPECT_EQ(value, UINT32_MAX);
    EXPECT_EQ(parse_uint("123", &value, 2), 0);
    EXPECT_EQ(value, 12u);
    EXPECT_EQ(parse_uint(nullptr, &value, 0), 1);
    EXPECT_EQ(value, 0u);
}

TEST(ParseFloat, FractionExponentAndSignsAnywhere)
{
    struct Case {
        const char* text;
        double value;
        int error;
    } cases[] = {
        {"-1.25e2", -125, 0},
        {"2.5E-1", 0.25, 0},
        {"1,5", 1, 1},
        {"", 0, 0},
        {" 3 . 5 ", 3.5, 0},
        {"5-", -5, 0},
        {"1e1.5", 31.622776601683793, 0},
        {"0e999", 0, 0},
        {"1x", 1, 1},
    };
    for (const Case& c : cases) {
        double value = 99;
        EXPECT_EQ(parse_float(c.text, &value), c.error) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    double value = 99;
    EXPECT_EQ(parse_float(nullptr, &value), 1);
    EXPECT_EQ(value, 0);
}

TEST(PathTexts, StripTrailingSeparators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\data\\//", "C:\\data"}, {"C:\\", "C:"}, {"/", "/"}, {"\\", "\\"}, {"//", "/"}, {"", ""}, {"a", "a"},
    };
    for (const auto& c : cases) {
        std::vector<char> path(c.first, c.first + strlen(c.first) + 1);
        strip_trailing_separators(path.data());
        EXPECT_STREQ(path.data(), c.second) << c.first;
    }
    strip_trailing_separators(nullptr);
}

TEST(PathTexts, CopyBoundedCopiesWholeOrNothing)
{
    char buffer[5] = "zzzz";
    EXPECT_EQ(copy_bounded(buffer, "abcd", 5), 4);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(copy_bounded(buffer, "abcde", 5), 0);
    EXPECT_STREQ(buffer, "");
    strcpy(buffer, "zz");
    EXPECT_EQ(copy_bounded(buffer, nullptr, 5), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(copy_bounded(nullptr, "a", 5), 0);
    strcpy(buffer, "zz");
    EXPECT_EQ(copy_bounded(buffer, "a", 0), 0);
    EXPECT_STREQ(buffer, "zz");
}

std::vector<std::string> received;

void collect(const char* entry)
{
    received.push_back(entry);
}

// Logs an entry of its own before it keeps the one it received.
void log_before_collecting(const char* entry)
{
    if (received.empty()) {
        received.push_back("-");
        log_printf("inner %d", 2);
    }
    received.push_back(entry);
}

TEST(Log, EntriesGoToTheDestinationOrAreDropped)
{
    received.clear();
    set_log_destination(nullptr);
    EXPECT_FALSE(log_has_destination());
    log_printf("dropped %d", 1);

    set_log_destination(collect);
    log_printf("entry %m\r\nsecond line", "<");
    log_printf("%s", "next");
    set_log_destination(nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"entry &lt;\r\nsecond line", "next"}));
}

TEST(Log, ADestinationThatLogsGetsBothEntriesWhole)
{
    received.clear();
    set_log_destination(log_before_collecting);
    log_printf("outer %d", 1);
    set_log_destination(nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"-", "inner 2", "outer 1"}));
}

}  // namespace
