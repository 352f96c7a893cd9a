#include "fleet/check/sms_length.h"

#include <array>
#include <string_view>

#include "doc/cp1252.h"

namespace {

// The GSM 03.38 default alphabet and its extension table, as far as
// characters go (the escape code itself is not a character of a text).
const std::u32string_view gsm_alphabet =
    U"@\u00A3$\u00A5\u00E8\u00E9\u00F9\u00EC\u00F2\u00C7\n\u00D8\u00F8\r\u00C5\u00E5"
    U"\u0394_\u03A6\u0393\u039B\u03A9\u03A0\u03A8\u03A3\u0398\u039E\u00C6\u00E6\u00DF\u00C9"
    U" !\"#\u00A4%&'()*+,-./0123456789:;<=>?"
    U"\u00A1ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00C4\u00D6\u00D1\u00DC\u00A7"
    U"\u00BFabcdefghijklmnopqrstuvwxyz\u00E4\u00F6\u00F1\u00FC\u00E0";
const std::u32string_view gsm_extension = U"\f^{}\\[~]|\u20AC";

const int gsm_limit = 160;
const int ucs2_limit = 70;

}  // namespace

SmsLength sms_length(const std::string& text)
{
    // What each document byte takes in the GSM alphabet: 1, 2, or 0 when
    // it is outside. Worked out once: a fleet has thousands of texts.
    static const std::array<unsigned char, 256> septets = [] {
        std::array<unsigned char, 256> table{};
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t character = unicode_from_cp1252(static_cast<unsigned char>(byte));
            if (gsm_alphabet.find(character) != std::u32string_view::npos) {
                table[byte] = 1;
            } else if (gsm_extension.find(character) != std::u32string_view::npos) {
                table[byte] = 2;
            }
        }
        return table;
    }();
    SmsLength result;
    int length = 0;
    for (char byte : text) {
        const unsigned char cost = septets[static_cast<unsigned char>(byte)];
        if (cost == 0 && result.outside_alphabet == 0) {
            result.outside_alphabet = byte;
        }
        length += cost;
    }
    if (result.outside_alphabet != 0) {
        // Every Windows-1252 character is one UCS-2 unit.
        result.length = static_cast<int>(text.size());
        result.limit = ucs2_limit;
    } else {
        result.length = length;
        result.limit = gsm_limit;
    }
    return result;
}
