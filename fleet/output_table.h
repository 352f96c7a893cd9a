// Rows of UTF-8 cells as a table for a terminal: each column as wide as
// its widest cell, two blanks between columns, no blanks at line ends.
#ifndef ZANTOR_FLEET_OUTPUT_TABLE_H
#define ZANTOR_FLEET_OUTPUT_TABLE_H

#include <algorithm>
#include <string>
#include <vector>

std::string aligned_table(const std::vector<std::vector<std::string>>& rows);

// The width of a UTF-8 text on a terminal, in characters.
size_t display_width(const std::string& utf8);

#endif
