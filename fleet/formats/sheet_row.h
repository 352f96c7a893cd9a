// A row of a spreadsheet as the import reads it, whether it came from a CSV
// file or from a workbook: its cells in the order of the sheet's columns.
#ifndef ZANTOR_FLEET_FORMATS_SHEET_ROW_H
#define ZANTOR_FLEET_FORMATS_SHEET_ROW_H

#include <cstddef>
#include <string>
#include <vector>

// One row, in UTF-8, and where it stands (the line of a CSV file where it
// starts, 1 for the header; a workbook's row number), so that a message
// names the place a spreadsheet shows.
// What a sheet may hold at most, read as it is read so that no sheet makes
// the import wait or fill the memory: many times a large fleet's rows, and
// cells as large as a spreadsheet's.
const int sheet_row_limit = 200000;
const size_t sheet_cell_limit = 32767;                     // characters
const size_t sheet_row_cells_limit = 256;                  // a station list is some twenty-five columns wide
const unsigned long long sheet_file_limit = 256ULL << 20;  // bytes of a CSV file or a workbook
const int added_stations_limit = 20000;                    // new stations of one import

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
