// A list as an Excel workbook of one sheet, for spreadsheets: the header
// row in bold and frozen, every cell typed as text (so that a spreadsheet
// keeps the "+" and the leading zeros of phone numbers, PINs and ids, and
// takes nothing for a formula), but for the columns of numbers; columns as
// wide as their values.
#ifndef ZANTOR_FLEET_FORMATS_WORKBOOK_WRITER_H
#define ZANTOR_FLEET_FORMATS_WORKBOOK_WRITER_H

#include <string>
#include <vector>

// A sheet to write: its rows (the header first, UTF-8).
struct XlsxSheet {
    std::string name;
    const std::vector<std::vector<std::string>>* rows;
    // For each column, whether its cells are written as numbers when they
    // are whole numbers; else as text.
    std::vector<bool> numbers;
    // A sheet for the program, not for the operator: hidden and protected
    // against changes.
    bool hidden = false;
};

// Writes the sheets, in their order, to the workbook `file_name`. False
// with the reason when the file cannot be written.
bool write_xlsx(const std::string& file_name, const std::vector<XlsxSheet>& sheets, std::string& error);

#endif
