#include "fleet/output_table.h"

size_t display_width(const std::string& utf8)
{
    size_t width = 0;
    for (char byte : utf8) {
        width += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;  // continuation bytes add nothing
    }
    return width;
}

std::string aligned_table(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<size_t> widths;
    for (const std::vector<std::string>& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], display_width(row[column]));
        }
    }
    std::string out;
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                line += "  ";
            }
            line += row[column];
            if (column + 1 < row.size()) {
                line.append(widths[column] - display_width(row[column]), ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out += line + "\n";
    }
    return out;
}
