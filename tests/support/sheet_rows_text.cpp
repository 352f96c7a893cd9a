#include "support/sheet_rows_text.h"

std::string sheet_rows_text(const std::vector<SheetRow>& rows)
{
    std::string text;
    for (const SheetRow& row : rows) {
        text += std::to_string(row.line) + ":";
        for (const std::string& cell : row.cells) {
            text += "[" + cell + "]";
        }
        text += "\n";
    }
    return text;
}
