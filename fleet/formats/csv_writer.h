// RFC 4180 CSV for spreadsheets: records end with CR LF; a cell is quoted
// when it holds the separator, a double quote, a line end, or blanks at
// either end (which spreadsheets would otherwise drop), and a double quote
// inside is doubled.
#ifndef ZANTOR_FLEET_FORMATS_CSV_WRITER_H
#define ZANTOR_FLEET_FORMATS_CSV_WRITER_H

#include <string>
#include <vector>

// Spreadsheet programs take a CSV file for UTF-8 only when it starts with
// the byte-order mark; without it they show "é" as two characters.
extern const char* const utf8_byte_order_mark;

std::string csv_record(const std::vector<std::string>& cells, char separator);

#endif
