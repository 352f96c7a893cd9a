// The text buffer's storage, the typed text conversion and the log writer.
// The formatter engine lives in text_formatter.cpp.
#include "doc/Lib_cpp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "doc/text_parsers.h"

namespace {

const uint32_t growth_step = 128;

log_destination current_log_destination = nullptr;

}  // namespace

// ---- Tmy_string ----

Tmy_string::~Tmy_string()
{
    free(data);
}

void Tmy_string::append(const char* text, uint32_t count)
{
    if (text == nullptr) {
        return;
    }
    size_t n = count == 0 ? strlen(text) : strnlen(text, count);
    if (n == 0 || n > UINT32_MAX - 1 - length) {
        return;
    }
    uint32_t new_length = length + static_cast<uint32_t>(n);
    if (new_length + 1 >= capacity) {
        uint64_t wanted = std::max<uint64_t>(uint64_t{capacity} + growth_step, uint64_t{new_length} + 1);
        wanted = std::min<uint64_t>(wanted, UINT32_MAX);
        char* block = static_cast<char*>(malloc(wanted));
        if (block != nullptr) {
            // The new bytes are copied before the old block goes, so a text
            // that lies inside this very buffer stays readable.
            if (length > 0) {
                memcpy(block, data, length);
            }
            memcpy(block + length, text, n);
            block[new_length] = '\0';
            free(data);
            data = block;
            capacity = static_cast<uint32_t>(wanted);
            length = new_length;
            return;
        }
        if (uint64_t{new_length} + 1 > capacity) {
            return;
        }
    }
    memmove(data + length, text, n);
    length = new_length;
    data[length] = '\0';
}

void Tmy_string::printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
}

void Tmy_string::vprintf(const char* format, va_list args)
{
    if (format == nullptr) {
        return;
    }
    length = 0;
    cat_vprintf(format, args);
    if (data != nullptr) {
        data[length] = '\0';
    }
}

void Tmy_string::cat_printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    cat_vprintf(format, args);
    va_end(args);
}

const char* Tmy_string::c_str() const
{
    return data != nullptr ? data : "";
}

// ---- typed conversion ----

namespace {

int copy_into_chars(const char* text, char* buffer, int size)
{
    if (size < 1) {
        return 1;
    }
    size_t text_length = strlen(text);
    size_t stored = std::min(text_length, static_cast<size_t>(size - 1));
    memcpy(buffer, text, stored);
    memset(buffer + stored, 0, static_cast<size_t>(size) - stored);
    return stored < text_length ? 1 : 0;
}

}  // namespace

int convert_text(const char* text, void* destination, int kind, int size)
{
    if (text == nullptr || destination == nullptr) {
        return 1;
    }
    switch (kind) {
        case convert_chars:
            return copy_into_chars(text, static_cast<char*>(destination), size);
        case convert_int:
            return parse_int(text, static_cast<int32_t*>(destination), 0);
        case convert_uint:
            return parse_uint(text, static_cast<uint32_t*>(destination), 0);
        case convert_double:
            return parse_float(text, static_cast<double*>(destination));
        case convert_string:
            static_cast<Tmy_string*>(destination)->printf("%s", text);
            return 0;
        default:
            return 1;
    }
}

// ---- log ----

void set_log_destination(log_destination destination)
{
    current_log_destination = destination;
}

bool log_has_destination()
{
    return current_log_destination != nullptr;
}

void log_printf(const char* format, ...)
{
    if (current_log_destination == nullptr || format == nullptr) {
        return;
    }
    // A save dumps every line of the document through here, so one buffer is
    // reused from entry to entry; a destination that logs while it receives an
    // entry gets a fresh buffer for its own entry.
    static Tmy_string shared_entry;
    static bool shared_entry_busy = false;
    const uint32_t keep_at_most = 1u << 20;

    va_list args;
    va_start(args, format);
    if (!shared_entry_busy) {
        shared_entry_busy = true;
        shared_entry.vprintf(format, args);
        current_log_destination(shared_entry.c_str());
        if (shared_entry.capacity > keep_at_most) {
            free(shared_entry.data);
            shared_entry.data = nullptr;
            shared_entry.capacity = 0;
            shared_entry.length = 0;
        }
        shared_entry_busy = false;
    } else {
        Tmy_string entry;
        entry.vprintf(format, args);
        current_log_destination(entry.c_str());
    }
    va_end(args);
}

void log_text(const char* entry)
{
    if (current_log_destination != nullptr && entry != nullptr) {
        current_log_destination(entry);
    }
}
