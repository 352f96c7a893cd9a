#include "fleet/formats/csv_writer.h"

const char* const utf8_byte_order_mark = "\xEF\xBB\xBF";

namespace {

bool needs_quotes(const std::string& cell, char separator)
{
    if (cell.empty()) {
        return false;
    }
    const bool blank_at_end = cell.front() == ' ' || cell.back() == ' ' || cell.front() == '\t' || cell.back() == '\t';
    return blank_at_end || cell.find_first_of(std::string("\"\r\n") + separator) != std::string::npos;
}

}  // namespace

std::string csv_record(const std::vector<std::string>& cells, char separator)
{
    std::string record;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            record += separator;
        }
        const std::string& cell = cells[i];
        if (!needs_quotes(cell, separator)) {
            record += cell;
            continue;
        }
        record += '"';
        for (char c : cell) {
            record += c == '"' ? "\"\"" : std::string(1, c);
        }
        record += '"';
    }
    return record + "\r\n";
}
