// The printf-style formatter of Tmy_string: standard numeric conversions
// through snprintf, and the system's own text conversions for XML-escaped
// (m), backslash-escaped (a) and URL-encoded (r) text.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "doc/Lib_cpp.h"

namespace {

// Width and precision beyond this count as this; with it a numeric
// conversion always fits the scratch area.
const int max_width = 500;
const size_t scratch_size = 1024;
// A longer specification is formatted without flags, width and precision.
const size_t max_spec_length = 31;

bool is_conversion_letter(char c)
{
    return c != '\0' && strchr("diuxXeEfgGc%smarnp", c) != nullptr;
}

// Flags, width and precision of one conversion, as printf understands them.
struct Spec {
    char flags[8] = {};
    int width = -1;      // -1: none
    int precision = -1;  // -1: none
};

// Reads a decimal number or "*" (an int argument) at `p`. Absent: `absent`.
// A negative "*" argument sets `negative`, as printf takes it.
int read_count(const char*& p, const char* end, va_list* args, int absent, bool* negative)
{
    if (p < end && *p == '*') {
        ++p;
        long value = va_arg(*args, int);
        *negative = value < 0;
        return static_cast<int>(std::min<long>(value < 0 ? -value : value, max_width));
    }
    if (p >= end || *p < '0' || *p > '9') {
        return absent;
    }
    int value = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        value = std::min(value * 10 + (*p - '0'), max_width);
        ++p;
    }
    return value;
}

void add_flag(Spec& spec, char flag)
{
    size_t count = strlen(spec.flags);
    if (count < sizeof spec.flags - 1 && strchr(spec.flags, flag) == nullptr) {
        spec.flags[count] = flag;
    }
}

// Parses the characters between "%" and the conversion letter. Characters
// printf would not accept there end the parse and are ignored; "*" still
// reads its argument so that the following conversions get theirs.
Spec parse_spec(const char* begin, const char* end, va_list* args)
{
    Spec spec;
    const char* p = begin;
    while (p < end && strchr("-+ #0", *p) != nullptr) {
        add_flag(spec, *p);
        ++p;
    }
    bool negative = false;
    spec.width = read_count(p, end, args, -1, &negative);
    if (negative) {
        add_flag(spec, '-');  // a negative "*" width means left-justified
    }
    if (p < end && *p == '.') {
        ++p;
        negative = false;
        spec.precision = read_count(p, end, args, 0, &negative);
        if (negative) {
            spec.precision = -1;  // a negative "*" precision counts as none
        }
    }
    if (static_cast<size_t>(end - begin) > max_spec_length) {
        spec = Spec();
    }
    return spec;
}

// Builds "%<flags>*[.*]<letter>" for snprintf; "#" only where printf defines it.
void build_numeric_format(const Spec& spec, char letter, char* format)
{
    char* out = format;
    *out++ = '%';
    for (const char* f = spec.flags; *f != '\0'; ++f) {
        if (*f == '#' && strchr("diu", letter) != nullptr) {
            continue;
        }
        *out++ = *f;
    }
    *out++ = '*';
    if (spec.precision >= 0) {
        *out++ = '.';
        *out++ = '*';
    }
    *out++ = letter;
    *out = '\0';
}

template <typename Value>
void append_number(Tmy_string& out, const Spec& spec, char letter, Value value)
{
    char format[16];
    char scratch[scratch_size];
    build_numeric_format(spec, letter, format);
    int width = spec.width < 0 ? 0 : spec.width;
    int written = spec.precision >= 0 ? snprintf(scratch, sizeof scratch, format, width, spec.precision, value)
                                      : snprintf(scratch, sizeof scratch, format, width, value);
    if (written > 0) {
        out.append(scratch);
    }
}

// Appends `text`, replacing each byte for which `replace` writes a
// replacement; unchanged runs are appended in one piece.
template <typename Replace>
void append_transformed(Tmy_string& out, const char* text, Replace replace)
{
    if (text == nullptr) {
        return;
    }
    char replacement[16];
    const char* run = text;
    const char* p = text;
    for (; *p != '\0'; ++p) {
        if (!replace(static_cast<unsigned char>(*p), replacement)) {
            continue;
        }
        if (p > run) {
            out.append(run, static_cast<uint32_t>(p - run));
        }
        out.append(replacement);
        run = p + 1;
    }
    if (p > run) {
        out.append(run, static_cast<uint32_t>(p - run));
    }
}

bool xml_escape_decimal(unsigned char c, char* replacement)
{
    const char* reference = xml_decimal_references()[c];
    if (*reference == '\0') {
        return false;
    }
    strcpy(replacement, reference);
    return true;
}

bool backslash_escape(unsigned char c, char* replacement)
{
    if (c != '\'' && c != '"' && c != '\\') {
        return false;
    }
    replacement[0] = '\\';
    replacement[1] = static_cast<char>(c);
    replacement[2] = '\0';
    return true;
}

bool url_encode(unsigned char c, char* replacement)
{
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 (c != '\0' && strchr("-_.!*'()", c) != nullptr);
    if (plain) {
        return false;
    }
    snprintf(replacement, 16, "%%%02X", c);
    return true;
}

void append_conversion(Tmy_string& out, char letter, const Spec& spec, va_list* args)
{
    switch (letter) {
        case 'd':
        case 'i':
            append_number(out, spec, letter, va_arg(*args, int));
            break;
        case 'u':
        case 'x':
        case 'X':
            append_number(out, spec, letter, va_arg(*args, unsigned int));
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G':
            append_number(out, spec, letter, va_arg(*args, double));
            break;
        case 'c': {
            char c = static_cast<char>(va_arg(*args, int));
            if (c != '\0') {
                out.append(&c, 1);
            }
            break;
        }
        case '%':
            out.append("%", 1);
            break;
        case 's':
            out.append(va_arg(*args, const char*));
            break;
        case 'm':
            append_transformed(out, va_arg(*args, const char*), xml_escape_decimal);
            break;
        case 'a':
            append_transformed(out, va_arg(*args, const char*), backslash_escape);
            break;
        case 'r':
            append_transformed(out, va_arg(*args, const char*), url_encode);
            break;
        case 'p': {
            char scratch[32];
            snprintf(scratch, sizeof scratch, "%p", va_arg(*args, void*));
            out.append(scratch);
            break;
        }
        case 'n':
            va_arg(*args, void*);
            break;
        default:
            break;
    }
}

}  // namespace

void fill_xml_references(XmlReferenceTable& table, int first_numbered, const char* number_format)
{
    for (int c = 0; c < 256; ++c) {
        if (c < 0x20 || c >= first_numbered) {
            snprintf(table[c], sizeof table[c], number_format, c);
        } else {
            table[c][0] = '\0';
        }
    }
    strcpy(table[static_cast<int>('"')], "&quot;");
    strcpy(table[static_cast<int>('&')], "&amp;");
    strcpy(table[static_cast<int>('\'')], "&apos;");
    strcpy(table[static_cast<int>('<')], "&lt;");
    strcpy(table[static_cast<int>('>')], "&gt;");
}

const XmlReferenceTable& xml_decimal_references()
{
    struct Table {
        XmlReferenceTable text = {};
        Table() { fill_xml_references(text, 0x80, "&#%d;"); }
    };
    static const Table table;
    return table.text;
}

void Tmy_string::cat_vprintf(const char* format, va_list args)
{
    if (format == nullptr) {
        return;
    }
    va_list remaining;
    va_copy(remaining, args);
    const char* p = format;
    while (*p != '\0') {
        const char* run = p;
        while (*p != '\0' && *p != '%') {
            ++p;
        }
        if (p > run) {
            append(run, static_cast<uint32_t>(p - run));
        }
        if (*p == '\0') {
            break;
        }
        const char* spec_begin = p + 1;
        const char* letter = spec_begin;
        while (*letter != '\0' && !is_conversion_letter(*letter)) {
            ++letter;
        }
        if (*letter == '\0') {
            append(p);  // the format ends inside this conversion
            break;
        }
        Spec spec = parse_spec(spec_begin, letter, &remaining);
        append_conversion(*this, *letter, spec, &remaining);
        p = letter + 1;
    }
    va_end(remaining);
}
