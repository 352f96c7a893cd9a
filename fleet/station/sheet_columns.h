// The header row of a spreadsheet that the import reads: which of its
// cells name which column of list, new_id or key, and what becomes of the
// operator's own columns.
#ifndef ZANTOR_FLEET_STATION_SHEET_COLUMNS_H
#define ZANTOR_FLEET_STATION_SHEET_COLUMNS_H

#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"
#include "fleet/station/station_row.h"

// The columns an import reads: those of list, then these two.
const int column_new_id = list_column_count;   // gives a station a new id
const int column_key = list_column_count + 1;  // which station a row of list stands for
const int import_column_count = list_column_count + 2;

// "id" ... "health", "new_id", "key".
const char* import_column_name(int column);

// A header's name as the import compares it: the letters and digits alone,
// in lower case ("Phone_Nbr " and "phone nbr" are "phonenbr").
std::string column_key_text(const std::string& name);

// True when a cell of the row names the column id: the row is a header.
bool names_id_column(const SheetRow& row);

struct SheetColumns {
    // The import column of each cell of the header row; -1 for an empty
    // header cell and for a column of the operator's own.
    std::vector<int> of_cell;
    // The cell of each import column; -1 where the sheet has none.
    int cell_of[import_column_count];

    bool has(int column) const { return cell_of[column] >= 0; }
};

// Why the header is refused, or what the operator should know of it.
struct HeaderFinding {
    int position;  // of the header cell, from 0
    std::string text;
};

// Reads the header row. A name that is some column's, in any letter case
// and with any blanks, dashes or underscores, is that column, and so is the
// station dialog's label of its box ("PIN code"); a name close
// to one ("phone nr", "acq_interval0") is refused with that column's name;
// a name far from every column (a column of notes) is ignored, and said.
// False when a name is refused, given twice, or id is missing.
bool read_columns(const SheetRow& header, SheetColumns& columns, std::vector<HeaderFinding>& errors,
                  std::vector<HeaderFinding>& notes);

#endif
