#include "doc/cp1252.h"

#include <algorithm>

namespace {

// Characters of the bytes 0x80 to 0x9F; every other byte is its own character.
const char16_t high_controls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes the character at `i`; false for a malformed sequence. `length`
// is the number of bytes taken (at least one, so that a caller can go on).
bool decode_utf8(const std::string& s, size_t i, char32_t* c, size_t* length)
{
    const auto byte = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    *length = 1;
    size_t extra;
    char32_t value;
    if (lead < 0x80) {
        *c = lead;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return false;
    }
    if (i + extra >= s.size()) {
        return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return false;
        }
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *c = value;
    *length = extra + 1;
    return true;
}

}  // namespace

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

char32_t unicode_from_cp1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? high_controls[byte - 0x80] : byte;
}

bool cp1252_from_unicode(char32_t character, char* byte)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        *byte = static_cast<char>(character);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (high_controls[i] == character) {
            *byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string utf8_from_cp1252(const std::string& text)
{
    // Most texts are plain ASCII, which is the same in both.
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        append_utf8(out, unicode_from_cp1252(static_cast<unsigned char>(c)));
    }
    return out;
}

bool is_valid_utf8(const std::string& text)
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

bool cp1252_from_utf8(const std::string& utf8, std::string& text, size_t* bad_offset)
{
    text.clear();
    char32_t c;
    size_t length;
    for (size_t i = 0; i < utf8.size(); i += length) {
        char byte;
        if (!decode_utf8(utf8, i, &c, &length) || !cp1252_from_unicode(c, &byte)) {
            if (bad_offset != nullptr) {
                *bad_offset = i;
            }
            return false;
        }
        text += byte;
    }
    return true;
}
