#include "fleet/formats/number_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::string general(double value)
{
    char buffer[64];
    const double whole = std::round(value);
    if (std::fabs(value - whole) < 1e-9 && std::fabs(whole) < 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.0f", whole == 0 ? 0.0 : whole);
        return buffer;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) {
            break;
        }
    }
    return buffer;
}

// One section of a format, read into what drawing a number needs: the
// placeholders of the whole part and of the decimals, each among the
// characters the format shows around them.
struct Section {
    std::vector<std::string> pieces;   // a placeholder '0', '#' or '?' is a piece of its own
    size_t point = std::string::npos;  // the piece index where the decimals start
    bool percent = false;
    bool drawable = true;  // false: an exponent, a fraction, a condition, text or General
};

bool is_general(const std::string& word)
{
    const char* general = "general";
    for (size_t i = 0; i < 7; ++i) {
        if (std::tolower(static_cast<unsigned char>(word[i])) != general[i]) {
            return false;
        }
    }
    return true;
}

bool is_placeholder(const std::string& piece)
{
    return piece == "0" || piece == "#" || piece == "?";
}

Section read_section(const std::string& code)
{
    Section section;
    auto literal = [&](const std::string& text) {
        if (section.pieces.empty() || is_placeholder(section.pieces.back()) || section.pieces.back() == ".") {
            section.pieces.push_back(text);
        } else {
            section.pieces.back() += text;
        }
    };
    if (code.empty()) {
        section.drawable = false;
    }
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (code.size() - i >= 7 && is_general(code.substr(i, 7))) {
            section.drawable = false;
            i += 6;
        } else if (c == '"') {
            const size_t close = code.find('"', i + 1);
            literal(code.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1));
            i = close == std::string::npos ? code.size() : close;
        } else if (c == '\\' && i + 1 < code.size()) {
            literal(code.substr(++i, 1));
        } else if (c == '_' && i + 1 < code.size()) {
            literal(" ");  // the width of the next character
            ++i;
        } else if (c == '*' && i + 1 < code.size()) {
            ++i;  // a fill, which a cell's width decides
        } else if (c == '[') {
            const size_t close = code.find(']', i);
            const std::string inside = code.substr(i + 1, close == std::string::npos ? 0 : close - i - 1);
            if (!inside.empty() && std::string("<>=").find(inside[0]) != std::string::npos) {
                section.drawable = false;  // a condition
            } else if (!inside.empty() && inside[0] == '$') {
                literal(
                    inside.substr(1, inside.find('-') == std::string::npos ? std::string::npos : inside.find('-') - 1));
            }  // else a colour
            i = close == std::string::npos ? code.size() : close;
        } else if (c == '0' || c == '#' || c == '?') {
            section.pieces.push_back(std::string(1, c));
        } else if (c == '.' && section.point == std::string::npos) {
            section.pieces.push_back(".");
            section.point = section.pieces.size();
        } else if (c == ',') {
            continue;  // thousands are not grouped
        } else if (c == '%') {
            section.percent = true;
            literal("%");
        } else if (c == 'E' || c == 'e' || c == '/' || c == '@') {
            section.drawable = false;
        } else {
            literal(std::string(1, c));
        }
    }
    return section;
}

// The sections of a code, split at the semicolons outside quotes and
// brackets: positive; negative; zero; text.
std::vector<std::string> sections_of(const std::string& code)
{
    std::vector<std::string> sections(1);
    bool quoted = false;
    int bracket = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '[') {
            ++bracket;
        } else if (!quoted && c == ']') {
            --bracket;
        } else if (!quoted && bracket == 0 && c == '\\' && i + 1 < code.size()) {
            sections.back() += code.substr(i, 2);
            ++i;
            continue;
        } else if (!quoted && bracket == 0 && c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

std::string draw(double magnitude, const Section& section)
{
    const size_t point = section.point == std::string::npos ? section.pieces.size() : section.point;
    int decimals = 0;
    for (size_t i = point; i < section.pieces.size(); ++i) {
        decimals += is_placeholder(section.pieces[i]) ? 1 : 0;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, section.percent ? magnitude * 100 : magnitude);
    std::string whole = buffer, fraction;
    const size_t dot = whole.find('.');
    if (dot != std::string::npos) {
        fraction = whole.substr(dot + 1);
        whole.erase(dot);
    }
    if (whole == "0") {
        whole.clear();  // "#.##" shows 0.5 as .5; a '0' placeholder brings the zero back
    }
    // The whole part, from its last placeholder back: each takes a digit,
    // and the first one takes all the digits left.
    std::string shown;
    size_t first_placeholder = point;
    for (size_t i = 0; i < point; ++i) {
        if (is_placeholder(section.pieces[i])) {
            first_placeholder = std::min(first_placeholder, i);
        }
    }
    for (size_t i = point; i-- > 0;) {
        const std::string& piece = section.pieces[i];
        if (!is_placeholder(piece)) {
            shown.insert(0, piece);
            continue;
        }
        std::string digits;
        if (i == first_placeholder) {
            digits = whole;
            whole.clear();
        } else if (!whole.empty()) {
            digits = whole.substr(whole.size() - 1);
            whole.pop_back();
        }
        if (digits.empty()) {
            digits = piece == "0" ? "0" : piece == "?" ? " " : "";
        }
        shown.insert(0, digits);
    }
    // The decimals, from the point on; a '#' shows no trailing zero.
    size_t last_digit = fraction.find_last_not_of('0');
    last_digit = last_digit == std::string::npos ? 0 : last_digit + 1;
    size_t next = 0;
    for (size_t i = point; i < section.pieces.size(); ++i) {
        const std::string& piece = section.pieces[i];
        if (!is_placeholder(piece)) {
            shown += piece;
            continue;
        }
        const bool significant = next < last_digit;
        shown += significant || piece == "0" ? std::string(1, fraction[next]) : piece == "?" ? " " : "";
        ++next;
    }
    return shown;
}

}  // namespace

std::string built_in_number_format(int id)
{
    switch (id) {
        case 1:
            return "0";
        case 2:
            return "0.00";
        case 3:
            return "#,##0";
        case 4:
            return "#,##0.00";
        case 9:
            return "0%";
        case 10:
            return "0.00%";
        case 37:
        case 38:
            return "#,##0 ;(#,##0)";
        case 39:
        case 40:
            return "#,##0.00;(#,##0.00)";
        default:
            return "";
    }
}

bool is_date_format(int id, const std::string& code)
{
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58)) {
        return true;
    }
    bool quoted = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown as it is
        } else if (c == '[') {
            const size_t close = code.find(']', i);
            const std::string inside = code.substr(i + 1, close == std::string::npos ? 0 : close - i - 1);
            if (inside == "h" || inside == "hh" || inside == "m" || inside == "mm" || inside == "s" || inside == "ss") {
                return true;  // elapsed time
            }
            i = close == std::string::npos ? code.size() : close;
        } else if (std::string("dDmMyYhHsS").find(c) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string shown_number(double value, const std::string& code)
{
    const std::vector<std::string> sections = sections_of(code);
    size_t chosen = 0;
    bool own_sign = false;  // the negative section draws the sign itself, or none
    if (value < 0 && sections.size() > 1) {
        chosen = 1;
        own_sign = true;
    } else if (value == 0 && sections.size() > 2) {
        chosen = 2;
    }
    const Section section = read_section(sections[chosen]);
    if (!section.drawable || sections.size() > 4) {
        return general(value);
    }
    const std::string drawn = draw(std::fabs(value), section);
    return value < 0 && !own_sign && drawn.find_first_of("123456789") != std::string::npos ? "-" + drawn : drawn;
}
