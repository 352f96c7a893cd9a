// Text buffer with its printf-style formatter, typed text conversion and the
// diagnostic log writer. Single-byte texts terminated by a zero byte; every
// routine accepts null pointers and then returns its failure value.
#ifndef ZANTOR_DOC_LIB_CPP_H
#define ZANTOR_DOC_LIB_CPP_H

#include <cstdarg>
#include <cstdint>

// Growable text buffer. Storage grows in steps of 128 bytes, or in one step to
// the exact size when a single append needs more. When storage cannot be
// allocated the append is dropped unless it still fits the old storage.
//
// Formatter conversions (printf, cat_printf, log_printf):
//   d i u x X   one 32-bit integer, with the flags, width and precision of printf
//   e E f g G   one double, likewise
//   c           one character (a zero character appends nothing)
//   %           a "%"
//   s           text as it is; width and precision are ignored; null appends nothing
//   m           text escaped for XML: the five named entities, "&#%d;" for bytes
//               below 0x20 and from 0x80 up
//   a           text with a backslash before every apostrophe, double quote and backslash
//   r           text encoded for a URL: letters, digits and - _ . ! * ' ( ) as they
//               are, every other byte as "%XX"
//   p           a pointer, as printf shows it
//   n           consumes its pointer argument and writes nothing anywhere
// Length letters (h, l, ll, L, ...) are accepted and ignored: integers are
// always read as 32-bit, reals as double. A "*" width or precision reads an
// int argument. Width and precision count up to 500; a specification longer
// than 31 characters is formatted without flags, width and precision. A "%"
// that the format ends before its conversion letter is copied as plain text.
// An argument text that points into the buffer being written is read as it
// stands at that moment.
class Tmy_string {
public:
    uint32_t capacity = 0;  // bytes of storage allocated; 0 while there is none
    uint32_t length = 0;    // bytes of text, not counting the terminating zero
    char* data = nullptr;   // owned storage; null until the first append

    Tmy_string() = default;
    ~Tmy_string();
    Tmy_string(const Tmy_string&) = delete;
    Tmy_string& operator=(const Tmy_string&) = delete;

    // Appends the first `count` bytes of `text`, or all of it when `count` is 0.
    // Never reads past the text's terminating zero.
    void append(const char* text, uint32_t count = 0);
    // Replaces the text by the formatted text, keeping the storage.
    void printf(const char* format, ...);
    void vprintf(const char* format, va_list args);
    // Appends the formatted text.
    void cat_printf(const char* format, ...);
    void cat_vprintf(const char* format, va_list args);
    // The stored text; an empty text (never null) while there is no storage.
    const char* c_str() const;
};

// Destination kinds of convert_text and xml_read_attr.
enum {
    convert_chars = 0,   // char buffer of the given size
    convert_int = 1,     // int32_t
    convert_uint = 2,    // uint32_t
    convert_double = 3,  // double
    convert_string = 4,  // Tmy_string
};

// Converts `text` into the typed destination; 0 on success, 1 on failure.
// Kind 0 copies at most size bytes, zero-fills the rest and always ends the
// text at the buffer's last byte; it fails when the text had to be cut.
int convert_text(const char* text, void* destination, int kind, int size);

// Where log_printf sends each entry. With no destination set, entries are
// dropped, so the windowless core runs alone.
typedef void (*log_destination)(const char* entry);
void set_log_destination(log_destination destination);

// True when log entries go somewhere; lets a long dump be skipped otherwise.
bool log_has_destination();

// Formats one log entry and hands it to the destination.
void log_printf(const char* format, ...);

// Hands `entry` to the destination as it is, as one log entry; for callers
// that build their lines themselves, like the tree dump of every save.
void log_text(const char* entry);

// What the "m" conversion writes for each byte: a named entity, "&#%d;", or
// an empty text for a byte that stays as it is.
typedef char XmlReferenceTable[256][8];
const XmlReferenceTable& xml_decimal_references();
// Fills `table` with a reference for each byte: `number_format` ("&#%d;",
// "&#x%02X;") with the byte's value for those below 0x20 and from
// `first_numbered` up, the five named entities, and an empty text for the
// others.
void fill_xml_references(XmlReferenceTable& table, int first_numbered, const char* number_format);

#endif
