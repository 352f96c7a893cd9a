// The rows a spreadsheet was read into, as one text that a test compares:
// a line per row, its line or row number and then each cell in brackets.
#ifndef ZANTOR_TESTS_SUPPORT_SHEET_ROWS_TEXT_H
#define ZANTOR_TESTS_SUPPORT_SHEET_ROWS_TEXT_H

#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"

// "2:[1][x][](5)\n" for the row on line 2 with the cells "1", "x" and "",
// then a cell that holds the number 5.
std::string sheet_rows_text(const std::vector<SheetRow>& rows);

#endif
