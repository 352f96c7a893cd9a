// A sheet of stations to import, from a file in any format the import
// reads: the table of formats, each told by the file's bytes or name, and
// each read into the same rows, so that neither the engine nor the command
// decodes a file. A format is a reader here and a line of the table.
#ifndef ZANTOR_FLEET_FORMATS_SHEET_FILE_H
#define ZANTOR_FLEET_FORMATS_SHEET_FILE_H

#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"

// What the import takes of a file of several sheets.
struct SheetChoice {
    // A row that names the columns: the first sheet with one holds the
    // stations (else the first sheet, whose rows the import then refuses).
    bool (*is_header)(const SheetRow& row) = nullptr;
    // The sheet of the rows as listed, and its rows as the import takes
    // them: false when they are not of that form.
    const char* listed_name = nullptr;
    bool (*listed_rows)(const std::vector<SheetRow>& sheet, std::vector<SheetRow>& rows) = nullptr;
};

// The rows of the file.
struct SheetFile {
    std::vector<SheetRow> rows;
    bool has_listed = false;
    std::vector<SheetRow> listed;
    // The sheet the rows come from (UTF-8), named in messages when the file
    // holds several for the operator; else empty.
    std::string sheet_name;
    // Rows that cannot be read whole (a quoted cell never closed): an error
    // of the input at line `refused_line` (0 for the text as a whole),
    // said with the errors of the rows.
    bool rows_refused = false;
    int refused_line = 0;
    std::string refused_reason;
};

// Why a file was not read.
struct SheetFault {
    // The file cannot be read (a damaged or encrypted workbook), or what a
    // cell holds is refused as an error of the input.
    bool refused = false;
    std::string reason;   // UTF-8; may be empty for a damaged listed sheet
    std::string sheet;    // the sheet it stands in, when the file holds several for the operator
    bool listed = false;  // the sheet of the rows as listed is damaged
};

struct SheetFormat {
    const char* name;
    bool cells_named;  // a message names a cell (C12) of it; else a line
    bool (*is_of)(const std::string& bytes, const std::string& file_name);
    bool (*read)(const std::string& bytes, const std::string& file_name, const SheetChoice& choice, SheetFile& sheet,
                 SheetFault& fault);
};

// The format of a file: the first of the table that takes it, the last
// (CSV) taking any bytes.
const SheetFormat& sheet_format(const std::string& bytes, const std::string& file_name);

// The format of a CSV file.
const SheetFormat& csv_format();

// Whether the file name ends with `end`, in any letter case.
bool name_ends_with(const std::string& name, const std::string& end);

#endif
