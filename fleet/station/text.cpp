#include "fleet/station/text.h"

#include "doc/Lib_xml.h"
#include "doc/text_parsers.h"
#include "doc/utf8.h"

namespace {

const char hex_digits[] = "0123456789ABCDEF";

bool is_ascii_control(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F;
}

void append_code(std::string& out, unsigned byte)
{
    out += {'\\', 'x', hex_digits[byte >> 4], hex_digits[byte & 0x0F]};
}

}  // namespace

bool is_control_byte(unsigned char byte)
{
    return is_ascii_control(byte) || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

namespace {

// `text` with each byte `is_shown_as_code` picks written as its code.
template <typename IsShownAsCode>
std::string with_codes(const std::string& text, IsShownAsCode is_shown_as_code)
{
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        if (is_shown_as_code(static_cast<unsigned char>(c))) {
            append_code(shown, static_cast<unsigned char>(c));
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace

std::string visible_text(const std::string& text)
{
    return with_codes(text, is_control_byte);
}

std::string without_controls(const std::string& text)
{
    return with_codes(text, is_ascii_control);
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"') {
            result += '\\';
        }
        if (is_ascii_control(static_cast<unsigned char>(c))) {
            append_code(result, static_cast<unsigned char>(c));
        } else {
            result += c;
        }
    }
    return result + "\"";
}

std::string quoted_excerpt(const std::string& utf8)
{
    const size_t most = 80;
    const size_t end = utf8_offset(utf8, most);
    return end < utf8.size() ? quoted(utf8.substr(0, end) + "...") : quoted(utf8);
}

std::string terminal_text(const std::string& utf8)
{
    // Most output has nothing to escape: it is given back as it is.
    size_t first = 0;
    const size_t size = utf8.size();
    for (; first < size; ++first) {
        const unsigned char c = static_cast<unsigned char>(utf8[first]);
        if ((is_ascii_control(c) && c != '\n' && c != '\t' &&
             !(c == '\r' && first + 1 < size && utf8[first + 1] == '\n')) ||
            (c == 0xC2 && first + 1 < size && static_cast<unsigned char>(utf8[first + 1]) < 0xA0)) {
            break;
        }
    }
    if (first == size) {
        return utf8;
    }
    std::string shown(utf8, 0, first);
    for (size_t i = first; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const unsigned char next = i + 1 < size ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (is_ascii_control(c) && c != '\n' && c != '\t' && !(c == '\r' && next == '\n')) {
            append_code(shown, c);
        } else if (c == 0xC2 && next >= 0x80 && next < 0xA0) {
            append_code(shown, next);
            ++i;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

bool is_plain_integer(const std::string& text)
{
    int32_t value = 0;
    return parse_int(text.c_str(), &value, 0) == 0 && std::to_string(value) == text;
}

bool is_decimal_number(const std::string& text)
{
    size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (is_ascii_digit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}
