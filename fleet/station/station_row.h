// The rows of `zantor-fleet list`: one per station, the columns that the
// import of a spreadsheet reads back.
#ifndef ZANTOR_FLEET_STATION_STATION_ROW_H
#define ZANTOR_FLEET_STATION_STATION_ROW_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "fleet/station/text.h"
#include "station/station_values.h"

// The station's values in the order of station_fields, then its Slow,
// Fast and Health sequences.
const int list_column_count = station_field_count + sequence_role_count;

// "id" ... "gsm_sms_duration_min", "slow", "fast", "health".
const char* list_column_name(int column);

// The columns of list's text table when none are chosen, in their order:
// those an operator scanning a fleet reads first (which station, how it is
// reached, how often it measures and calls in, what its slow sequence
// measures), few enough to fit the table's width.
const std::vector<int>& table_columns();

// What a secret shows: "****" for one that has a value, unless secrets are
// shown; an empty secret stays empty.
std::string shown_secret(const std::string& value, bool show_secrets);

// One row, in document text: the id as stored (so that an import finds the
// station again; empty when it has none), the other values as the station
// dialog shows them, and each sequence's choices as sequence_text writes
// them.
std::vector<std::string> station_row(TiXmlElement* station, bool show_secrets);

// The rows of list for the stations of the document, in UTF-8 with control
// characters shown as \xNN: the header first, then a row per station. With
// `keyed` (a spreadsheet's rows) each ends with its station's key.
std::vector<std::vector<std::string>> list_rows(myXMLdocument& document, bool show_secrets, bool keyed);

#endif
