#include "fleet/csv_reader.h"

#include "doc/cp1252.h"

std::string csv_text_as_utf8(const std::string& bytes)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = bytes.compare(0, mark.size(), mark) == 0 ? bytes.substr(mark.size()) : bytes;
    return is_valid_utf8(text) ? text : utf8_from_cp1252(text);
}

char csv_separator(const std::string& text)
{
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
                characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
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
