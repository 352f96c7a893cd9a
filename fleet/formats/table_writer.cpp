#include "fleet/formats/table_writer.h"

#include "doc/utf8.h"

namespace {

const char* const ellipsis = "\xE2\x80\xA6";  // U+2026, one character wide

// Narrows the widest columns one character at a time, so that long cells
// share the room left and no column is cut more than it must be.
void fit_widths(std::vector<size_t>& widths, const std::vector<size_t>& least, size_t width)
{
    size_t total = widths.empty() ? 0 : 2 * (widths.size() - 1);
    size_t least_total = total;
    for (size_t column = 0; column < widths.size(); ++column) {
        total += widths[column];
        least_total += least[column];
    }
    if (least_total > width) {
        return;
    }
    while (total > width) {
        size_t widest = widths.size();
        for (size_t column = 0; column < widths.size(); ++column) {
            if (widths[column] > least[column] && (widest == widths.size() || widths[column] > widths[widest])) {
                widest = column;
            }
        }
        if (widest == widths.size()) {
            return;
        }
        --widths[widest];
        --total;
    }
}

}  // namespace

size_t display_width(const std::string& utf8)
{
    return utf8_length(utf8);
}

std::string cut_to_width(const std::string& utf8, size_t width)
{
    if (display_width(utf8) <= width) {
        return utf8;
    }
    if (width == 0) {
        return std::string();
    }
    return utf8.substr(0, utf8_offset(utf8, width - 1)) + ellipsis;
}

std::string aligned_table(const std::vector<std::vector<std::string>>& rows, size_t width)
{
    std::vector<size_t> widths;
    for (const std::vector<std::string>& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], display_width(row[column]));
        }
    }
    std::vector<size_t> least(widths.size(), 0);
    for (size_t column = 0; !rows.empty() && column < rows[0].size(); ++column) {
        least[column] = display_width(rows[0][column]);
    }
    fit_widths(widths, least, width);
    std::string out;
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                line += "  ";
            }
            const std::string cell = cut_to_width(row[column], widths[column]);
            line += cell;
            if (column + 1 < row.size()) {
                line.append(widths[column] - display_width(cell), ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out += line + "\n";
    }
    return out;
}
