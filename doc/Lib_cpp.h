// Text buffer with its printf-style formatter, typed text conversion and the
// diagnostic log writer. Single-byte texts terminated by a zero byte; every
// routine accepts null pointers and then returns its failure value.
#ifndef ZANTOR_DOC_LIB_CPP_H
#define ZANTOR_DOC_LIB_CPP_H

#include <cstdarg>
#include <cstdint>

// Growable text buffer. Storage grows in steps of 128 bytes, or in one step to
// the exact size when a single append needs more.
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
int convert_text(const char* text, void* destination, int kind, int size);

// Where log_printf sends each entry. With no destination set, entries are
// dropped, so the windowless core runs alone.
typedef void (*log_destination)(const char* entry);
void set_log_destination(log_destination destination);

// Formats one log entry and hands it to the destination.
void log_printf(const char* format, ...);

#endif
