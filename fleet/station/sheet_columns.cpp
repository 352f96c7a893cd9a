#include "fleet/station/sheet_columns.h"

#include <algorithm>
#include <cctype>

#include "fleet/station/row_key.h"
#include "fleet/station/text.h"

namespace {

// A header longer than this names no column: its name is not compared
// letter by letter, which costs the square of its length.
const size_t longest_name = 100;

// Letters to change, add or drop to turn one name into the other.
size_t distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The column a header names: by its name in list, or by the label the
// station dialog gives its box ("PIN code", "Phone Number"); -1 for none.
int named_column(const std::string& key)
{
    for (int column = 0; column < import_column_count; ++column) {
        if (key == column_key_text(import_column_name(column)) ||
            (column < station_field_count && key == column_key_text(station_fields[column].label))) {
            return column;
        }
    }
    return -1;
}

// The column a name not quite right is most likely meant for: one whose
// name starts with it or that it starts with ("phone", "gsm_duration",
// "phone_nbr2"), or one a slip or two of the keyboard away ("phone_nr");
// -1 for a name of the operator's own.
int close_column(const std::string& key)
{
    int best = -1;
    size_t best_distance = 0;
    for (int column = 0; column < import_column_count; ++column) {
        const std::string known = column_key_text(import_column_name(column));
        const size_t shorter = std::min(key.size(), known.size());
        if (shorter >= 3 && known.compare(0, shorter, key, 0, shorter) == 0) {
            return column;
        }
        const size_t d = distance(key, known);
        const size_t slips = known.size() <= 3 ? 1 : 2;
        if (d <= slips && (best < 0 || d < best_distance)) {
            best = column;
            best_distance = d;
        }
    }
    return best;
}

// "id, description, ... and key": said once with the columns refused, so
// that the operator can rename each without the help at hand.
std::string known_columns()
{
    std::string names;
    for (int column = 0; column < import_column_count; ++column) {
        names += std::string(column == 0                        ? ""
                             : column + 1 < import_column_count ? ", "
                                                                : " and ") +
                 import_column_name(column);
    }
    return names;
}

}  // namespace

const char* import_column_name(int column)
{
    return column == column_new_id ? "new_id" : column == column_key ? key_column_name : list_column_name(column);
}

std::string column_key_text(const std::string& name)
{
    std::string key;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

bool names_id_column(const SheetRow& row)
{
    for (const std::string& cell : row.cells) {
        if (column_key_text(cell) == "id") {
            return true;
        }
    }
    return false;
}

bool read_columns(const SheetRow& header, SheetColumns& columns, std::vector<HeaderFinding>& errors,
                  std::vector<HeaderFinding>& notes)
{
    const size_t errors_before = errors.size();
    std::fill(columns.cell_of, columns.cell_of + import_column_count, -1);
    columns.of_cell.assign(header.cells.size(), -1);
    bool columns_said = false;
    for (size_t i = 0; i < header.cells.size(); ++i) {
        const std::string name = quoted_excerpt(header.cells[i]);
        const int position = static_cast<int>(i);
        const bool too_long = header.cells[i].size() > longest_name;
        const std::string key = too_long ? std::string() : column_key_text(header.cells[i]);
        if (key.empty()) {
            if (header.cells[i].find_first_not_of(" \t") != std::string::npos) {
                notes.push_back({position, "the column " + name + " is none of list's and is not read"});
            }
            continue;
        }
        const int found = named_column(key);
        if (found < 0) {
            const int close = close_column(key);
            if (close >= 0) {
                errors.push_back({position, "unknown column " + name + "; did you mean " + import_column_name(close) +
                                                "?" +
                                                (columns_said ? "" : " The columns are " + known_columns() + ".")});
                columns_said = true;
            } else {
                notes.push_back({position, "the column " + name + " is none of list's and is not read"});
            }
            continue;
        }
        if (columns.cell_of[found] >= 0) {
            errors.push_back({position, std::string("the column ") + import_column_name(found) + " is there twice"});
            continue;
        }
        columns.cell_of[found] = position;
        columns.of_cell[i] = found;
    }
    if (!columns.has(field_id) && errors.size() == errors_before) {
        errors.push_back({-1, "no id column: each row names its station by its id"});
    }
    return errors.size() == errors_before;
}
