// The import of a spreadsheet of stations, in the columns of
// `zantor-fleet list --csv`: each row changes the station of its id, or
// appends a new one, through the station dialog's own store rules, so that
// a station is stored exactly as typing the row's values into the dialog
// and pressing OK would store it.
#ifndef ZANTOR_FLEET_STATION_IMPORT_H
#define ZANTOR_FLEET_STATION_IMPORT_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "fleet/fleet_station.h"
#include "fleet/sheet_row.h"

// Why a row, or the header, cannot be imported.
struct ImportError {
    int line = 0;        // of the CSV file, 1 for the header; a workbook's row number
    std::string column;  // as list --csv names it; empty for the row or the header as a whole
    std::string reason;  // UTF-8
    int position = -1;   // of the column's cell in the row, from 0; -1 without a column
};

struct ImportOutcome {
    std::vector<ImportError> errors;  // in the order of the file
    // The stations changed or added, in the order of the rows.
    std::vector<ChangedStation> stations;
    int changed = 0;
    int added = 0;
};

// The column beside those of list --csv that gives a station a new id.
extern const char* const new_id_column;

// Applies the CSV file's rows (its bytes as read) to the document's
// stations. Rows match stations by id: where several stations share an id,
// the k-th row with that id is the k-th station with it, so that the output
// of list --csv always imports back. A row whose id no station has adds a
// station only when `add` is true. With errors the document may hold part
// of the changes and is to be thrown away. `changed_now`, when given, sees
// each station as soon as it is changed or added; outcome.stations then
// holds what it left.
ImportOutcome import_csv(myXMLdocument& document, const std::string& csv_bytes, bool add = false,
                         const StationChanged& changed_now = nullptr);

// The same for rows already read, from a CSV file or a workbook: the first
// row that is not blank is the header.
ImportOutcome import_rows(myXMLdocument& document, std::vector<SheetRow> rows, bool add = false,
                          const StationChanged& changed_now = nullptr);

#endif
