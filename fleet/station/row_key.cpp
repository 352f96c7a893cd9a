#include "fleet/station/row_key.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "doc/utf8.h"
#include "fleet/formats/csv_reader.h"
#include "fleet/formats/csv_writer.h"

const char* const key_column_name = "key";
const char* const listed_sheet_name = "As listed (do not edit)";

std::string row_fingerprint(const std::vector<std::string>& row)
{
    // FNV-1a over the cells and a separator after each, so that moving a
    // character from one cell to the next changes the fingerprint too.
    uint64_t hash = 14695981039346656037ULL;
    for (const std::string& cell : row) {
        for (char c : cell) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
        hash = (hash ^ 0x1F) * 1099511628211ULL;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>((hash >> 32) ^ (hash & 0xFFFFFFFFu)));
    return text;
}

std::string key_text(const RowKey& key)
{
    return (key.secrets_shown ? "S" : "K") + std::to_string(key.position) + "-" + key.fingerprint;
}

bool read_key(const std::string& text, RowKey& key)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const std::string k = text.substr(first, last - first + 1);
    const char mode = static_cast<char>(std::toupper(static_cast<unsigned char>(k[0])));
    const size_t dash = k.find('-');
    if ((mode != 'K' && mode != 'S') || dash == std::string::npos || dash < 2 || dash > 8 || k.size() != dash + 9) {
        return false;
    }
    const std::string_view digits = std::string_view(k).substr(1, dash - 1);
    if (!all_digits(digits)) {
        return false;
    }
    int position = 0;
    for (char digit : digits) {
        position = position * 10 + (digit - '0');
    }
    std::string fingerprint;
    for (size_t i = dash + 1; i < k.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(k[i]))) {
            return false;
        }
        fingerprint += static_cast<char>(std::toupper(static_cast<unsigned char>(k[i])));
    }
    if (position < 1) {
        return false;
    }
    key.position = position;
    key.secrets_shown = mode == 'S';
    key.fingerprint = fingerprint;
    return true;
}

std::vector<std::vector<std::string>> listed_sheet_rows(const std::vector<std::vector<std::string>>& keyed_rows)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::vector<std::string>& row : keyed_rows) {
        std::string record = csv_record(std::vector<std::string>(row.begin(), row.end() - 1), ';');
        record.erase(record.size() - 2);  // its line end
        rows.push_back({row.back(), std::move(record)});
    }
    return rows;
}

bool rows_of_listed_sheet(const std::vector<SheetRow>& sheet, std::vector<SheetRow>& rows)
{
    rows.clear();
    for (const SheetRow& row : sheet) {
        std::vector<SheetRow> record;
        int bad_line = 0;
        std::string reason;
        if (row.cells.size() != 2 || !read_csv_records(row.cells[1], ';', record, bad_line, reason) ||
            record.size() != 1) {
            return false;
        }
        SheetRow expanded{row.line, {row.cells[0]}, {}};
        expanded.cells.insert(expanded.cells.end(), record[0].cells.begin(), record[0].cells.end());
        rows.push_back(std::move(expanded));
    }
    return true;
}
