#include "fleet/formats/csv_reader.h"

#include <cctype>

#include "doc/cp1252.h"
#include "doc/utf8.h"

namespace {

const char* const save_as_utf8 = "save it as UTF-8 CSV";

// The UTF-16 text after its byte-order mark as UTF-8. A character beyond
// the first 65536 takes two units, a surrogate pair; a unit of a pair
// alone, or half a unit at the end, is damage that no reading repairs.
bool utf8_from_utf16(const std::string& bytes, bool big_endian, std::string& text, std::string& reason)
{
    if (bytes.size() % 2 != 0) {
        reason = std::string("damaged UTF-16 text: it ends in half a character; ") + save_as_utf8;
        return false;
    }
    auto unit = [&](size_t at) -> char32_t {
        const unsigned char first = static_cast<unsigned char>(bytes[at]);
        const unsigned char second = static_cast<unsigned char>(bytes[at + 1]);
        return big_endian ? (first << 8 | second) : (second << 8 | first);
    };
    text.clear();
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 2 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            reason = "damaged UTF-16 text: half of a character at byte " + std::to_string(i) + "; " + save_as_utf8;
            return false;
        }
        append_utf8(text, c);
    }
    return true;
}

}  // namespace

bool csv_text_as_utf8(const std::string& bytes, std::string& text, std::string& reason)
{
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        return utf8_from_utf16(bytes, bytes[0] == '\xFE', text, reason);
    }
    // Text in UTF-8 or Windows-1252 holds no zero byte; UTF-16 holds one in
    // each letter of the header.
    if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) {
        reason = std::string("a UTF-16 text without a byte-order mark, which cannot be read for sure; ") + save_as_utf8;
        return false;
    }
    const std::string mark = "\xEF\xBB\xBF";
    text = bytes.compare(0, mark.size(), mark) == 0 ? bytes.substr(mark.size()) : bytes;
    if (!is_valid_utf8(text)) {
        text = utf8_from_cp1252(text);
    }
    return true;
}

char csv_separator_line(const std::string& text, size_t& length)
{
    length = 0;
    const size_t size = text.size();
    const bool quoted = size > 0 && text[0] == '"';
    size_t i = quoted ? 1 : 0;
    if (size < i + 5) {
        return 0;
    }
    for (size_t k = 0; k < 4; ++k) {
        if (std::tolower(static_cast<unsigned char>(text[i + k])) != "sep="[k]) {
            return 0;
        }
    }
    const char separator = text[i + 4];
    if (separator == '\r' || separator == '\n' || separator == '"') {
        return 0;
    }
    i += 5;
    if (quoted) {
        if (i >= size || text[i] != '"') {
            return 0;
        }
        ++i;
    }
    // A spreadsheet that kept the line as a row writes its empty cells too.
    while (i < size && text[i] == separator) {
        ++i;
    }
    if (i < size && text[i] == '\r') {
        ++i;
    }
    if (i < size && text[i] == '\n') {
        ++i;
    } else if (i < size && text[i - 1] != '\r') {
        return 0;
    }
    length = i;
    return separator;
}

char csv_separator(const std::string& text)
{
    size_t length = 0;
    const char named = csv_separator_line(text, length);
    if (named != 0) {
        return named;
    }
    const char candidates[] = {';', ',', '\t'};
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\r' || c == '\n')) {
            break;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k) {
                counts[k] += c == candidates[k] ? 1 : 0;
            }
        }
    }
    int best = 0;
    for (int k = 1; k < 3; ++k) {
        if (counts[k] > counts[best]) {
            best = k;
        }
    }
    return candidates[best];
}

bool read_csv_records(const std::string& text, char separator, std::vector<SheetRow>& records, int& bad_line,
                      std::string& reason)
{
    records.clear();
    int line = 1;
    size_t i = 0;
    const size_t size = text.size();
    // A line end at `i`: its length, 0 when there is none.
    auto line_end = [&](size_t at) -> size_t {
        if (at >= size || (text[at] != '\r' && text[at] != '\n')) {
            return 0;
        }
        return text[at] == '\r' && at + 1 < size && text[at + 1] == '\n' ? 2 : 1;
    };
    auto fail = [&](int where, const std::string& why) {
        bad_line = where;
        reason = why;
        return false;
    };
    while (i < size) {
        if (records.size() >= static_cast<size_t>(sheet_row_limit)) {
            return fail(line, "the sheet holds more than " + std::to_string(sheet_row_limit) +
                                  " rows: no list of stations is that large");
        }
        SheetRow record;
        record.line = line;
        for (;;) {
            std::string cell;
            size_t characters = 0;
            // A character more for the cell; false past the limit.
            auto take = [&](char c) {
                cell += c;
                characters += starts_utf8_character(c) ? 1 : 0;
                return characters <= sheet_cell_limit;
            };
            const std::string too_long = "a cell holds more than " + std::to_string(sheet_cell_limit) +
                                         " characters, more than a spreadsheet's cell holds";
            if (i < size && text[i] == '"') {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= size) {
                        return fail(opened, "a quoted cell opens here and is never closed");
                    }
                    if (text[i] == '"') {
                        if (i + 1 < size && text[i + 1] == '"') {
                            if (!take('"')) {
                                return fail(opened, too_long);
                            }
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    // CR LF is one line end.
                    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= size || text[i + 1] != '\n'))) {
                        ++line;
                    }
                    if (!take(text[i++])) {
                        return fail(opened, too_long);
                    }
                }
                // What a spreadsheet would not write, text after the closing
                // quote, is kept as part of the cell rather than lost.
                while (i < size && text[i] != separator && line_end(i) == 0) {
                    if (!take(text[i++])) {
                        return fail(line, too_long);
                    }
                }
            } else {
                while (i < size && text[i] != separator && line_end(i) == 0) {
                    if (!take(text[i++])) {
                        return fail(line, too_long);
                    }
                }
            }
            record.cells.push_back(std::move(cell));
            if (record.cells.size() > sheet_row_cells_limit) {
                return fail(record.line, "a row holds more than " + std::to_string(sheet_row_cells_limit) +
                                             " cells: no list of stations is that wide");
            }
            if (i < size && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        const size_t end = line_end(i);
        i += end;
        if (end > 0) {
            ++line;
        }
        records.push_back(std::move(record));
    }
    return true;
}

bool read_csv_sheet(const std::string& text, std::vector<SheetRow>& records, int& bad_line, std::string& reason)
{
    size_t skipped = 0;
    const char named = csv_separator_line(text, skipped);
    if (named == 0) {
        return read_csv_records(text, csv_separator(text), records, bad_line, reason);
    }
    const bool read = read_csv_records(text.substr(skipped), named, records, bad_line, reason);
    for (SheetRow& record : records) {
        ++record.line;
    }
    ++bad_line;
    return read;
}
