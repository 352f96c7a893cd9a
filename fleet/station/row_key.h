// What tells, in a spreadsheet made by list --csv or --xlsx, which station
// a row stands for, whatever the operator does to the rows: the key column
// (the station's place in the list when it was listed, and a fingerprint of
// its row then) and, in a workbook, the hidden sheet of the values as they
// were listed.
#ifndef ZANTOR_FLEET_STATION_ROW_KEY_H
#define ZANTOR_FLEET_STATION_ROW_KEY_H

#include <cstdint>
#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"

// The column of the key, after those of list.
extern const char* const key_column_name;

// The hidden, protected sheet of a workbook from list --xlsx that holds
// every row as it was listed, with its key.
extern const char* const listed_sheet_name;

// The rows of that sheet, made from list's rows with their keys (the key
// last): two cells a row, the key and the rest of the row as one CSV
// record, since a sheet nobody reads is read fastest in few cells. The
// header row holds "key" and the column names so.
std::vector<std::vector<std::string>> listed_sheet_rows(const std::vector<std::vector<std::string>>& keyed_rows);

// The rows of list back from that sheet's rows: the key first, then the
// columns of the header's record. False when a row is not of that form.
bool rows_of_listed_sheet(const std::vector<SheetRow>& sheet, std::vector<SheetRow>& rows);

struct RowKey {
    int position = 0;            // in the station list, from 1
    bool secrets_shown = false;  // the row was listed with --show-secrets
    std::string fingerprint;     // of the row as listed: 8 hexadecimal digits
};

// The fingerprint of a row of list (document text, secrets as the list
// shows them): it changes when any value of the row changes. A hidden secret
// is in it only as "****", so it tells nothing of the secret.
std::string row_fingerprint(const std::vector<std::string>& row);

// "K12-9F3A0C2E" for the station at position 12 listed with its secrets
// hidden, "S12-..." with them shown: a letter first, so that no
// spreadsheet takes a key for a number or a date.
std::string key_text(const RowKey& key);

// The key a cell holds (any letter case, blanks around it); false when it
// is none.
bool read_key(const std::string& text, RowKey& key);

#endif
