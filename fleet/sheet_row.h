// A row of a spreadsheet as the import reads it, whether it came from a CSV
// file or from a workbook: its cells in the order of the sheet's columns.
#ifndef ZANTOR_FLEET_SHEET_ROW_H
#define ZANTOR_FLEET_SHEET_ROW_H

#include <string>
#include <vector>

// One row, in UTF-8, and where it stands (the line of a CSV file where it
// starts, 1 for the header; a workbook's row number), so that a message
// names the place a spreadsheet shows.
struct SheetRow {
    int line = 0;
    std::vector<std::string> cells;
    // For each cell of a workbook, whether it holds a number (its text is
    // then what the number shows); empty for a CSV file, whose cells are
    // all text.
    std::vector<bool> numbers;

    bool is_number(size_t cell) const { return cell < numbers.size() && numbers[cell]; }
};

#endif
