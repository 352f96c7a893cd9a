// Reading the first sheet of an Excel workbook (.xlsx, as spreadsheet
// programs save it) into the rows the import of a spreadsheet takes, the
// same rows a CSV file gives: text cells, shared or inline, as they are;
// numbers as the digits they show (a whole number never as 3.36547E+10);
// empty cells empty, in the sheet's columns. What a station list cannot
// hold as a value (a formula, a date, an encrypted workbook) is refused
// with the cell it stands in, and so is a workbook built to exhaust the
// memory.
#ifndef ZANTOR_FLEET_WORKBOOK_READER_H
#define ZANTOR_FLEET_WORKBOOK_READER_H

#include <cstddef>
#include <string>
#include <vector>

#include "fleet/sheet_row.h"

// The most any part of a workbook may inflate to.
const size_t workbook_part_limit = size_t(256) << 20;

// The most rows a sheet may hold, empty ones included: many times a large
// fleet, and far fewer than the rows a spreadsheet leaves behind when
// formatting runs down a whole column.
const int workbook_row_limit = 200000;

// The four bytes an encrypted workbook (an OLE compound file, as is an old
// .xls) starts with; a workbook saved with a password is no zip archive.
bool is_compound_file(const std::string& bytes);

// A zip archive's first bytes: what a workbook starts with.
bool is_zip_archive(const std::string& bytes);

// The rows of the workbook's first sheet, each with its row number, cells
// placed by their column (A is 0). False with `error` (UTF-8, naming the
// cell where there is one: "cell C12 holds a formula; ...") when the bytes
// are no workbook, or hold what no station list holds.
bool read_workbook_rows(const std::string& bytes, std::vector<SheetRow>& rows, std::string& error);

// "C12" for the cell at column `position` (from 0) of row `line`.
std::string cell_name(int position, int line);

#endif
