// The lenient number parsers applied to attribute values and edit-box texts,
// and the two path-text routines of the folder chooser.
#include "doc/text_parsers.h"

#include <cmath>
#include <cstring>

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int parse_int(const char* text, int32_t* result, int max_count)
{
    if (result == nullptr) {
        return 1;
    }
    if (text == nullptr) {
        *result = 0;
        return 1;
    }
    // The magnitude is gathered in 64 bits and held at 2^31, so an overlong
    // number saturates at the limit of its sign instead of wrapping around.
    const int64_t limit = 2147483648LL;
    int64_t magnitude = 0;
    bool negative = false;
    bool overflow = false;
    int error = 0;
    for (int count = 0; max_count <= 0 || count < max_count; ++count) {
        char c = text[count];
        if (c == '\0') {
            break;
        }
        if (is_blank(c)) {
            continue;
        }
        if (c == '+' || c == '-') {
            negative = (c == '-');
            continue;
        }
        if (!is_digit(c)) {
            error = 1;
            break;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            magnitude = limit;
            overflow = true;
        }
    }
    if (!negative && magnitude == limit) {
        magnitude = limit - 1;
        overflow = true;
    }
    *result = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return (error || overflow) ? 1 : 0;
}

int parse_uint(const char* text, uint32_t* result, int max_count)
{
    if (result == nullptr) {
        return 1;
    }
    if (text == nullptr) {
        *result = 0;
        return 1;
    }
    const uint64_t limit = UINT32_MAX;
    uint64_t value = 0;
    int error = 0;
    for (int count = 0; max_count <= 0 || count < max_count; ++count) {
        char c = text[count];
        if (c == '\0') {
            break;
        }
        if (is_blank(c) || c == '+') {
            continue;
        }
        if (!is_digit(c)) {
            error = 1;
            break;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) {
            value = limit;
            error = 1;
        }
    }
    *result = static_cast<uint32_t>(value);
    return error;
}

int parse_float(const char* text, double* result)
{
    if (result == nullptr) {
        return 1;
    }
    if (text == nullptr) {
        *result = 0;
        return 1;
    }
    // Two parts, mantissa and exponent, each with its own sign, integer and
    // fraction; signs and the switch to the fraction may come anywhere.
    double value[2] = {0, 0};
    bool negative[2] = {false, false};
    int part = 0;
    bool in_fraction = false;
    double step = 0.1;
    int error = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        char c = *p;
        if (is_blank(c)) {
            continue;
        }
        if (c == '+' || c == '-') {
            negative[part] = (c == '-');
        } else if (c == '.') {
            in_fraction = true;
        } else if (c == 'E' || c == 'e') {
            part = 1;
            in_fraction = false;
            step = 0.1;
        } else if (is_digit(c)) {
            if (in_fraction) {
                value[part] += (c - '0') * step;
                step /= 10;
            } else {
                value[part] = value[part] * 10 + (c - '0');
            }
        } else {
            error = 1;
            break;
        }
    }
    double mantissa = negative[0] ? -value[0] : value[0];
    double exponent = negative[1] ? -value[1] : value[1];
    *result = (exponent == 0 || mantissa == 0) ? mantissa : mantissa * std::pow(10.0, exponent);
    return error;
}

void strip_trailing_separators(char* path)
{
    if (path == nullptr) {
        return;
    }
    size_t length = strlen(path);
    while (length >= 2 && (path[length - 1] == '/' || path[length - 1] == '\\')) {
        path[--length] = '\0';
    }
}

int copy_bounded(char* dest, const char* text, int size)
{
    if (dest == nullptr || size <= 0) {
        return 0;
    }
    dest[0] = '\0';
    if (text == nullptr) {
        return 0;
    }
    size_t length = strnlen(text, static_cast<size_t>(size));
    if (length >= static_cast<size_t>(size)) {
        return 0;
    }
    memcpy(dest, text, length + 1);
    return static_cast<int>(length);
}
