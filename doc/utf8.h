// UTF-8 text byte by byte: what the fleet tool prints, and what it reads
// from spreadsheets and command lines. Document text is Windows-1252
// (cp1252.h); the ASCII digits are the same bytes in both.
#ifndef ZANTOR_DOC_UTF8_H
#define ZANTOR_DOC_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

// Appends the character `c` (any Unicode code point) to `out` as UTF-8.
void append_utf8(std::string& out, char32_t c);

// Decodes the character at `at`; false for a malformed sequence, an
// overlong form or a surrogate. `length` is the number of bytes taken (at
// least one, so that a caller can go on).
bool decode_utf8(std::string_view text, size_t at, char32_t* c, size_t* length);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool is_valid_utf8(std::string_view text);

// True for a byte that starts a character, false for one that continues
// the character before it (10xxxxxx).
inline bool starts_utf8_character(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The number of characters of a UTF-8 text: the bytes that start one.
size_t utf8_length(std::string_view text);

// Where character `n` (counted from 0) starts, or the size of the text
// when it has no more than `n` characters.
size_t utf8_offset(std::string_view text, size_t n);

// Where the character after the one at `at` starts, or the size of the text.
size_t next_utf8_character(std::string_view text, size_t at);

// The length of the sequence of two to four bytes at `at` when its lead
// byte and the bytes that continue it are in place, else 0. The value is
// not looked at: an overlong form or a surrogate is a sequence too.
size_t utf8_sequence_length(std::string_view text, size_t at);

inline bool is_ascii_digit(char c)
{
    return c >= '0' && c <= '9';
}

// True for a text of one ASCII digit or more and nothing else.
bool all_digits(std::string_view text);

#endif
