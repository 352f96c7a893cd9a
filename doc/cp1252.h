// Document text is single-byte Windows-1252, as the stations' software
// expects. This is the one table between those bytes and Unicode: the
// windows use it to show texts in their controls, the fleet tool to print
// them as UTF-8 and to read spreadsheets back.
#ifndef ZANTOR_DOC_CP1252_H
#define ZANTOR_DOC_CP1252_H

#include <cstddef>
#include <string>

#include "doc/utf8.h"  // the UTF-8 side of the conversions

// The character of a byte. Every byte maps to one character; the five bytes
// Windows-1252 leaves undefined map to the control characters of the same
// number, so that every byte value survives a trip out and back.
char32_t unicode_from_cp1252(unsigned char byte);

// The byte of a character; false when Windows-1252 cannot hold it.
bool cp1252_from_unicode(char32_t character, char* byte);

// A document text as UTF-8.
std::string utf8_from_cp1252(const std::string& text);

// Appends document text as UTF-8, a run of ASCII at a time: the lines of a
// fleet are mostly ASCII, and building each as a text of its own to convert
// it would allocate twice per line.
void append_utf8_from_cp1252(std::string& out, const char* text, size_t size);
void append_utf8_from_cp1252(std::string& out, const std::string& text);

// A UTF-8 text as document bytes. False when a character cannot be held;
// `bad_offset` (when given) is then the byte offset of the first such
// character in `utf8`, and `text` holds what was converted before it.
// Malformed UTF-8 counts as a character that cannot be held.
bool cp1252_from_utf8(const std::string& utf8, std::string& text, size_t* bad_offset = nullptr);

#endif
