#include "doc/cp1252.h"

#include <cstdint>
#include <cstring>

namespace {

// Characters of the bytes 0x80 to 0x9F; every other byte is its own character.
const char16_t high_controls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The length of the run of ASCII that `text` starts with, eight bytes at a
// time while it lasts.
size_t ascii_run(const char* text, size_t size)
{
    size_t i = 0;
    for (uint64_t word = 0; i + sizeof word <= size; i += sizeof word) {
        std::memcpy(&word, text + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    while (i < size && static_cast<unsigned char>(text[i]) < 0x80) {
        ++i;
    }
    return i;
}

}  // namespace

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
    std::string out;
    out.reserve(text.size());
    append_utf8_from_cp1252(out, text);
    return out;
}

void append_utf8_from_cp1252(std::string& out, const char* text, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const size_t run = ascii_run(text + i, size - i);
        out.append(text + i, run);
        i += run;
        if (i < size) {
            append_utf8(out, unicode_from_cp1252(static_cast<unsigned char>(text[i])));
        }
    }
}

void append_utf8_from_cp1252(std::string& out, const std::string& text)
{
    append_utf8_from_cp1252(out, text.data(), text.size());
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
