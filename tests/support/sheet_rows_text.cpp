#include "support/sheet_rows_text.h"

std::string sheet_rows_text(const std::vector<SheetRow>& rows)
{
    std::string text;
    for (const SheetRow& row : rows) {
        text += std::to_string(row.line) + ":";
        for (size_t i = 0; i < row.cells.size(); ++i) {
            text += row.is_number(i) ? "(" + row.cells[i] + ")" : "[" + row.cells[i] + "]";
        }
        text += "\n";
    }
    return text;
}
