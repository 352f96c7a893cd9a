// Reading the sheets of an Excel workbook (.xlsx, as spreadsheet programs
// save it) into the rows the import of a spreadsheet takes, the same rows a
// CSV file gives: text cells, shared or inline, as they are; numbers as the
// text they show under their number format (a whole number never as
// 3.36547E+10), marked as numbers; empty cells empty, in the sheet's
// columns. What a station list cannot
// hold as a value (a formula, a date, an encrypted workbook) is refused
// with the cell it stands in, and so is a workbook built to exhaust the
// memory.
#ifndef ZANTOR_FLEET_FORMATS_WORKBOOK_READER_H
#define ZANTOR_FLEET_FORMATS_WORKBOOK_READER_H

#include <cstddef>
#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"

// The most any part of a workbook may inflate to.
const size_t workbook_part_limit = size_t(256) << 20;

// The most rows a sheet may hold, empty ones included: many times a large
// fleet, and far fewer than the rows a spreadsheet leaves behind when
// formatting runs down a whole column.
const int workbook_row_limit = sheet_row_limit;

// The four bytes an encrypted workbook (an OLE compound file, as is an old
// .xls) starts with; a workbook saved with a password is no zip archive.
bool is_compound_file(const std::string& bytes);

// A zip archive's first bytes: what a workbook starts with.
bool is_zip_archive(const std::string& bytes);

// Why an OpenDocument spreadsheet is not read, and what to do.
extern const char* const opendocument_refusal;

// A workbook's sheets, in the order its tabs show them, each read only when
// asked for: a sheet the import does not take is never refused for what it
// holds.
class Workbook {
public:
    // Keeps a reference to `bytes`, which must outlive the workbook.
    explicit Workbook(const std::string& bytes);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Reads what every sheet shares (the sheets' names and places, the
    // texts, the number formats). False with `error` (UTF-8) when the
    // bytes are no workbook.
    bool open(std::string& error);

    struct Sheet {
        std::string name;  // UTF-8, as its tab shows it
        bool hidden = false;
        std::string part;  // in the archive
    };
    const std::vector<Sheet>& sheets() const;

    // The rows of the sheet, each with its row number, cells placed by
    // their column (A is 0), a number as the text it shows under its number
    // format and marked as a number. False with `error` (UTF-8, naming the
    // cell where there is one: "cell C12 holds a formula; ...") when the
    // sheet holds what no station list holds.
    bool read_sheet(size_t index, std::vector<SheetRow>& rows, std::string& error);

    // True when the last read_sheet refused what a cell holds (a formula, a
    // date, TRUE or FALSE, an error value, a value far right): an error of
    // the input, which the operator corrects in the sheet; false when the
    // workbook itself is damaged.
    bool value_refused() const;

private:
    class Reader;
    Reader* reader;
};

// The rows of the workbook's first sheet; false with `error` as above.
bool read_workbook_rows(const std::string& bytes, std::vector<SheetRow>& rows, std::string& error);

// Whether `text` holds at `at` the code of a character as a workbook's
// texts write one that XML cannot hold: _xHHHH_, four hexadecimal digits.
bool is_character_code(const std::string& text, size_t at);

// "C12" for the cell at column `position` (from 0) of row `line`.
std::string cell_name(int position, int line);

#endif
