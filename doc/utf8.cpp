#include "doc/utf8.h"

#include <algorithm>

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

size_t utf8_sequence_length(std::string_view text, size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (starts_utf8_character(text[at + k])) {
            return 0;
        }
    }
    return length;
}

bool decode_utf8(std::string_view text, size_t at, char32_t* c, size_t* length)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    *length = 1;
    if (lead < 0x80) {
        *c = lead;
        return true;
    }
    const size_t sequence = utf8_sequence_length(text, at);
    if (sequence == 0) {
        return false;
    }
    const unsigned char lead_bits[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t value = lead & lead_bits[sequence];
    for (size_t k = 1; k < sequence; ++k) {
        value = (value << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[sequence] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *c = value;
    *length = sequence;
    return true;
}

bool is_valid_utf8(std::string_view text)
{
    char32_t c;
    size_t length;
    for (size_t i = 0; i < text.size(); i += length) {
        if (!decode_utf8(text, i, &c, &length)) {
            return false;
        }
    }
    return true;
}

size_t utf8_length(std::string_view text)
{
    size_t count = 0;
    for (char byte : text) {
        count += starts_utf8_character(byte) ? 1 : 0;
    }
    return count;
}

size_t utf8_offset(std::string_view text, size_t n)
{
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (starts_utf8_character(text[i]) && seen++ == n) {
            return i;
        }
    }
    return text.size();
}

size_t next_utf8_character(std::string_view text, size_t at)
{
    size_t next = at + 1;
    while (next < text.size() && !starts_utf8_character(text[next])) {
        ++next;
    }
    return std::min(next, text.size());
}

bool all_digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), is_ascii_digit);
}
