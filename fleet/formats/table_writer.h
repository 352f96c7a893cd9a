// Rows of UTF-8 cells as a table for a terminal: each column as wide as
// its widest cell, two blanks between columns, no blanks at line ends.
#ifndef ZANTOR_FLEET_FORMATS_TABLE_WRITER_H
#define ZANTOR_FLEET_FORMATS_TABLE_WRITER_H

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// The widest a table of list is, in characters: fixed rather than the
// terminal's, so that the same file lists the same everywhere, piped or not.
const size_t table_width_limit = 120;

// The table, its lines at most `width` characters: the widest cells are cut
// first, each cut cell ending in "…", and a column is never narrower than
// its header (the first row). When the headers alone are wider than
// `width`, no cell is cut, since cutting would lose values and still not
// fit.
std::string aligned_table(const std::vector<std::vector<std::string>>& rows, size_t width = static_cast<size_t>(-1));

// The width of a UTF-8 text on a terminal, in characters.
size_t display_width(const std::string& utf8);

// The text in at most `width` characters: whole when it fits, else its
// first characters and "…", cut between characters, never inside one.
std::string cut_to_width(const std::string& utf8, size_t width);

#endif
