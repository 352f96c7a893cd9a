// The import of a spreadsheet of stations, in the columns of
// `zantor-fleet list`: each row changes its station, or appends a new one,
// through the station dialog's own store rules, so that a station is stored
// exactly as typing the row's values into the dialog and pressing OK would
// store it.
//
// A row finds its station by its key (the column list writes), so that
// sorting, filtering or deleting rows never changes which station a row
// edits; a row without one, by its id. Where the sheet holds the values as
// they were listed (a workbook from list --xlsx), each value is merged three
// ways: what the operator changed in the sheet is stored, what changed in
// the file since is kept, and a value changed in both is a conflict.
#ifndef ZANTOR_FLEET_CHANGE_IMPORT_H
#define ZANTOR_FLEET_CHANGE_IMPORT_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "fleet/formats/sheet_file.h"
#include "fleet/formats/sheet_row.h"
#include "fleet/station/stations.h"

// Why a row, or the header, cannot be imported.
struct ImportError {
    int line = 0;        // of the CSV file, 1 for the header; a workbook's row number
    std::string column;  // as list names it; empty for the row or the header as a whole
    std::string reason;  // UTF-8
    int position = -1;   // of the column's cell in the row, from 0; -1 without a column
};

struct ImportOptions {
    bool add = false;             // a row of a new id adds a station
    bool force = false;           // the sheet's value wins over a change made in the file since listing
    bool remove_missing = false;  // a listed station whose row is gone is removed
    bool show_secrets = false;    // messages show PINs and passwords
    std::string file_name;        // of the settings file, UTF-8, for messages
};

// The rows of the sheet to import, and, for a workbook that list --xlsx
// wrote, the rows of its sheet of the values as listed (its header first).
using ImportSheet = SheetFile;

// A station the import removed: what a line names it by.
struct RemovedStation {
    std::string id;
    std::string description;
};

struct ImportOutcome {
    std::vector<ImportError> errors;  // in the order of the file
    // What the operator should read before the changes: the columns not
    // read, the rows above the header, ids that several stations share.
    std::vector<std::string> notes;
    // The stations changed or added, in the order of the rows.
    std::vector<ChangedStation> stations;
    std::vector<RemovedStation> removed;
    // What the operator should read after the changes: the values taken
    // over the file's with --force, the stations not in the sheet.
    std::vector<std::string> closing;
    int changed = 0;
    int added = 0;
};

// Applies the rows of a CSV file (its bytes as read) to the document's
// stations. With errors the document may hold part of the changes and is
// to be thrown away. `changed_now`, when given, sees each station as soon
// as it is changed or added; outcome.stations then holds what it left.
ImportOutcome import_csv(myXMLdocument& document, const std::string& csv_bytes,
                         const ImportOptions& options = ImportOptions(), const StationChanged& changed_now = nullptr);

// The same for rows already read, from a CSV file or a workbook: the first
// row that names the column id is the header; the rows above it are not
// read.
ImportOutcome import_rows(myXMLdocument& document, ImportSheet sheet, const ImportOptions& options = ImportOptions(),
                          const StationChanged& changed_now = nullptr);

#endif
