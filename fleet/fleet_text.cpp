#include "fleet/fleet_text.h"

#include <cctype>
#include <cstdint>

#include "doc/Lib_xml.h"

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"') {
            result += '\\';
        }
        result += c;
    }
    return result + "\"";
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
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}
