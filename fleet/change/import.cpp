#include "fleet/change/import.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <unordered_map>

#include "doc/cp1252.h"
#include "doc/top_level.h"
#include "doc/utf8.h"
#include "fleet/station/row_key.h"
#include "fleet/station/sequence_text.h"
#include "fleet/station/sheet_columns.h"
#include "fleet/station/station_row.h"
#include "fleet/station/stations.h"
#include "fleet/station/stations_by_id.h"
#include "fleet/station/text.h"
#include "station/station_values.h"

namespace {

const char* const hidden_secret = "****";
// The most ids a line of stations names; the rest are counted.
const size_t ids_named = 20;

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number no larger than `limit`, blanks around it allowed, and
// decimals of zeros ("15.0", "15,00"), which a number format shows.
bool whole_number(const std::string& text, int64_t limit, int64_t& value)
{
    std::string digits = trimmed(text);
    const size_t point = digits.find_first_of(".,");
    if (point != std::string::npos && point > 0 && digits.find_first_not_of('0', point + 1) == std::string::npos) {
        digits.erase(point);
    }
    if (!all_digits(digits) || digits.size() > 12) {
        return false;
    }
    value = std::stoll(digits);
    return value <= limit;
}

bool is_sequence_column(int column)
{
    return column >= station_field_count && column < list_column_count;
}

bool is_secret(int column)
{
    return column < station_field_count && station_fields[column].is_secret();
}

// The columns whose cells are numbers in a spreadsheet: the times and the
// port. Every other column is text, where a number cell is what a
// spreadsheet made of what the operator typed.
bool is_number_column(int column)
{
    return column < station_field_count &&
           (station_fields[column].source == FieldSource::parameter_time || column == field_http_port);
}

// The values a cleared cell may clear: texts that may stand empty.
bool may_be_empty(int column)
{
    if (column >= station_field_count || column == field_http_port) {
        return false;
    }
    const FieldSource source = station_fields[column].source;
    return source == FieldSource::station_text || source == FieldSource::parameter_text;
}

// The values a spreadsheet strips of their leading zeros and "+" when it
// takes them for numbers.
bool keeps_leading_digits(int column)
{
    return column == field_id || column == field_phone_nbr || column == field_pin || column == field_sms_number;
}

// True when `cell` is `full` without its leading "+", "00" or zeros: what
// a spreadsheet leaves of a phone number, a PIN or an id it took for a
// number.
bool dropped_leading(const std::string& full, const std::string& cell)
{
    if (cell.empty() || cell == full) {
        return false;
    }
    size_t first = full.compare(0, 1, "+") == 0 ? 1 : 0;
    while (first < full.size() && full[first] == '0') {
        ++first;
    }
    return first > 0 && full.compare(first, std::string::npos, cell) == 0;
}

// What was dropped, for a message: "+", "00" or "0".
std::string dropped_part(const std::string& full, const std::string& cell)
{
    return full.substr(0, full.size() - cell.size());
}

GsmMode mode_named(const std::string& text)
{
    const std::string name = column_key_text(text);
    for (int mode = gsm_mode_disabled; mode <= gsm_mode_gsm_data; ++mode) {
        if (name == column_key_text(gsm_mode_names[mode])) {
            return static_cast<GsmMode>(mode);
        }
    }
    return gsm_mode_none;
}

// The value as two cells of a column compare: a time as its number, a GSM
// mode as its name, a port without blanks.
std::string comparable(int column, const std::string& text)
{
    int64_t number = 0;
    if (column < station_field_count && station_fields[column].source == FieldSource::parameter_time) {
        return whole_number(text, std::numeric_limits<int64_t>::max(), number) ? std::to_string(number) : text;
    }
    if (column == field_http_port) {
        return trimmed(text);
    }
    if (column == field_gsm_mode) {
        const GsmMode mode = mode_named(text);
        return mode == gsm_mode_none ? text : gsm_mode_names[mode];
    }
    return text;
}

// True when the cell shows `value`: the same value, or the value as list
// writes its control characters.
bool shows(int column, const std::string& cell, const std::string& value)
{
    return comparable(column, cell) == comparable(column, value) || cell == visible_text(value);
}

// True when the element holds elements only, at every depth: no text or
// comment, which the station dialog's copy would leave out.
bool only_elements(const TiXmlNode* node)
{
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (child->ToElement() == nullptr || !only_elements(child)) {
            return false;
        }
    }
    return true;
}

// The UTF-8 character that starts at `offset`, for a message.
std::string character_at(const std::string& utf8, size_t offset)
{
    return utf8.substr(offset, next_utf8_character(utf8, offset) - offset);
}

// The document text of a cell: a character the settings file cannot hold,
// or a control character, is refused rather than stored as something else.
// A secret's characters are never quoted.
bool document_text(const std::string& cell, bool secret, std::string& text, std::string& reason)
{
    size_t bad = 0;
    if (!cp1252_from_utf8(cell, text, &bad)) {
        reason = (secret ? std::string("a character") : "the character \"" + character_at(cell, bad) + "\"") +
                 " cannot be stored: the settings file is in Windows-1252, which has no such character";
        return false;
    }
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            reason = "the cell holds a line break: the station dialog shows one line only";
            return false;
        }
        // A tab cannot be typed into a box of one line (it moves to the next
        // box), and the others show as nothing or as a box.
        if (is_control_byte(static_cast<unsigned char>(c))) {
            reason = "the cell holds a control character (code " +
                     std::to_string(static_cast<int>(static_cast<unsigned char>(c))) +
                     "), which the station dialog cannot show as typed";
            return false;
        }
    }
    return true;
}

// A document text for an error: in quotes, as UTF-8, its start alone when
// long.
std::string excerpt(const std::string& text)
{
    return quoted_excerpt(utf8_from_cp1252(text));
}

// Ids, as many as a line names, then how many more.
std::string id_list(const std::vector<std::string>& ids)
{
    std::string text;
    for (size_t i = 0; i < ids.size() && i < ids_named; ++i) {
        text += (i > 0 ? ", " : "") + ids[i];
    }
    if (ids.size() > ids_named) {
        text += " and " + std::to_string(ids.size() - ids_named) + " more";
    }
    return text;
}

// "Slow, Fast and Health".
std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (size_t i = 0; i < words.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    }
    return text;
}

// A value to change, as the row gives it.
struct Pending {
    int column;
    std::string text;  // as the dialog's box would hold it
};

// A row of the sheet and the station it stands for.
struct RowPlan {
    int line = 0;
    std::vector<std::string> cells;  // document text, by import column; empty where the sheet has none
    int station = -1;                // the station it changes, by its place in the list; -1 for a new one
    const std::vector<std::string>* listed = nullptr;  // the row as listed, by list column, when known
    bool secrets_shown = false;                        // it was listed with its secrets shown
    bool stale = false;       // its station changed since it was listed, which only the listed values can tell apart
    int copied_from = -1;     // a new station: the station whose row it copies
    bool refused = false;     // it finds no station to change or add
    std::set<int> bad_cells;  // the columns of cells refused, which the row's other checks pass over
};

class Importer {
public:
    Importer(myXMLdocument& document, ImportOutcome& outcome, const ImportOptions& options,
             const StationChanged& changed_now)
        : outcome(outcome),
          options(options),
          changed_now(changed_now),
          stations(listed_stations(document)),
          ids(shown_ids(stations)),
          by_id(ids)
    {
        stations_element = bind_top_level(document).stations;
        taken_by.assign(stations.size(), 0);
    }

    void run(ImportSheet& sheet)
    {
        std::vector<SheetRow> rows;
        for (SheetRow& row : sheet.rows) {
            bool blank = true;
            for (const std::string& cell : row.cells) {
                blank = blank && trimmed(cell).empty();
            }
            if (!blank) {
                rows.push_back(std::move(row));
            }
        }
        if (rows.empty()) {
            error(1, -1, "the file is empty: it has no header row");
            return;
        }
        size_t header = 0;
        while (header < rows.size() && !names_id_column(rows[header])) {
            ++header;
        }
        if (header == rows.size()) {
            error(rows[0].line, -1, "no row names the column id: each row names its station by its id");
            return;
        }
        if (header > 0) {
            outcome.notes.push_back("the rows above line " + std::to_string(rows[header].line) +
                                    ", the header, are not read");
        }
        has_listed = sheet.has_listed;
        if (!read_header(rows[header]) || (has_listed && !read_listed(sheet.listed))) {
            return;
        }
        for (size_t i = header + 1; i < rows.size(); ++i) {
            plans.push_back(plan_row(rows[i]));
        }
        // Rows with a key first, so that a row without one never takes
        // the station that a key names.
        for (bool keyed : {true, false}) {
            for (RowPlan& plan : plans) {
                if (!plan.refused && trimmed(plan.cells[column_key]).empty() != keyed) {
                    keyed ? match_keyed(plan, plan.cells[column_key]) : match_by_id(plan);
                }
            }
        }
        note_shared_ids();
        for (RowPlan& plan : plans) {
            if (!plan.refused) {
                plan.station >= 0 ? change_station(plan) : add_station(plan);
            }
        }
        if (outcome.errors.empty()) {
            said_missing(sheet.has_listed);
        }
        // In the order of the sheet, as the operator reads it.
        std::stable_sort(outcome.errors.begin(), outcome.errors.end(), [](const ImportError& a, const ImportError& b) {
            return a.line != b.line ? a.line < b.line : a.position < b.position;
        });
    }

private:
    ImportOutcome& outcome;
    const ImportOptions& options;
    const StationChanged& changed_now;
    std::vector<TiXmlElement*> stations;
    TiXmlElement* stations_element = nullptr;
    std::vector<std::string> ids;  // of each station, as list shows it
    StationsById by_id;            // by those
    SheetColumns columns;
    std::vector<std::string> header_cells;
    std::set<size_t> unnamed_said;
    bool has_listed = false;
    std::vector<RowPlan> plans;
    std::vector<int> taken_by;  // the line of the row that changes each station; 0 for none
    // The values as listed, by the key of their row.
    std::unordered_map<std::string, std::vector<std::string>> listed_rows;
    SheetColumns listed_columns{};  // of the sheet of listed values
    std::vector<std::string> used_keys;
    // Each station's row as list shows it, secrets shown, made once.
    std::unordered_map<int, std::vector<std::string>> current_rows;
    // The stations of each fingerprint, secrets hidden [0] and shown [1];
    // made only when a station is not found at its listed place.
    std::unordered_map<std::string, std::vector<int>> fingerprints[2];
    bool fingerprints_made[2] = {false, false};
    // The first station of each sequence text, by role; made only when a
    // new station copies sequences.
    std::unordered_map<std::string, int> sequence_holders[sequence_role_count];
    bool sequence_holders_made = false;
    std::vector<std::string> default_sequences;
    std::unordered_map<std::string, std::vector<int>> keyless_lines;  // by id

    // As list shows the ids, so that a row finds its station by its id.
    static std::vector<std::string> shown_ids(const std::vector<TiXmlElement*>& stations)
    {
        std::vector<std::string> shown;
        shown.reserve(stations.size());
        for (const TiXmlElement* station : stations) {
            shown.push_back(visible_text(xml_get_attr_text(station, "id")));
        }
        return shown;
    }

    void error(int line, int column, const std::string& reason)
    {
        const int position = column >= 0 ? columns.cell_of[column] : -1;
        outcome.errors.push_back(ImportError{line, column >= 0 ? import_column_name(column) : "", reason, position});
    }

    void refuse(RowPlan& plan, int column, const std::string& reason)
    {
        error(plan.line, column, reason);
        plan.refused = true;
    }

    std::string file() const { return options.file_name.empty() ? "the settings file" : options.file_name; }

    // A value for a message: in quotes, as UTF-8; a secret as **** unless
    // secrets are shown.
    std::string said(int column, const std::string& text) const
    {
        if (is_secret(column) && !options.show_secrets && !text.empty()) {
            return hidden_secret;
        }
        return excerpt(text);
    }

    bool read_header(const SheetRow& header)
    {
        header_cells = header.cells;
        std::vector<HeaderFinding> errors, notes;
        const bool read = read_columns(header, columns, errors, notes);
        for (const HeaderFinding& e : errors) {
            outcome.errors.push_back(ImportError{header.line, "", e.text, -1});
        }
        for (const HeaderFinding& n : notes) {
            outcome.notes.push_back(n.text);
        }
        return read;
    }

    // The sheet of listed values: a header, then each row as listed with
    // its key.
    bool read_listed(std::vector<SheetRow>& rows)
    {
        const std::string damaged = std::string("the sheet \"") + listed_sheet_name +
                                    "\", which holds the values as they were listed, is damaged: ";
        size_t header = 0;
        while (header < rows.size() && !names_id_column(rows[header])) {
            ++header;
        }
        std::vector<HeaderFinding> errors, notes;
        if (header == rows.size() || !read_columns(rows[header], listed_columns, errors, notes) ||
            !listed_columns.has(column_key)) {
            error(1, -1, damaged + "its header is not list's; list the file again");
            return false;
        }
        for (size_t r = header + 1; r < rows.size(); ++r) {
            const SheetRow& row = rows[r];
            std::vector<std::string> values(list_column_count);
            for (int column = 0; column < list_column_count; ++column) {
                const int at = listed_columns.cell_of[column];
                std::string reason;
                if (at >= 0 && static_cast<size_t>(at) < row.cells.size() &&
                    !document_text(row.cells[at], is_secret(column), values[column], reason)) {
                    error(row.line, -1, damaged + "row " + std::to_string(row.line) + ": " + reason);
                    return false;
                }
            }
            const int key_at = listed_columns.cell_of[column_key];
            RowKey key;
            if (static_cast<size_t>(key_at) >= row.cells.size() || !read_key(row.cells[key_at], key)) {
                error(row.line, -1, damaged + "row " + std::to_string(row.line) + " has no key; list the file again");
                return false;
            }
            listed_rows[key_text(key)] = std::move(values);
        }
        return true;
    }

    RowPlan plan_row(const SheetRow& row)
    {
        RowPlan plan;
        plan.line = row.line;
        plan.cells.assign(import_column_count, std::string());
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const int column = i < columns.of_cell.size() ? columns.of_cell[i] : -1;
            const bool unnamed = i >= header_cells.size() || trimmed(header_cells[i]).empty();
            if (column < 0 && unnamed && !trimmed(row.cells[i]).empty() && unnamed_said.insert(i).second) {
                // Cells with no name above them may be a row shifted to
                // the right: one error for the column, however many rows.
                error(plan.line, -1,
                      "cells stand in column " + std::to_string(i + 1) + ", which the header does not name");
            }
            if (column < 0) {
                continue;  // a column of the operator's own, said once for the header
            }
            std::string reason;
            if (row.cells[i].size() > sheet_cell_limit && utf8_length(row.cells[i]) > sheet_cell_limit) {
                error(plan.line, column,
                      "the cell holds more than " + std::to_string(sheet_cell_limit) +
                          " characters, more than a spreadsheet's cell holds");
            } else if (!document_text(row.cells[i], is_secret(column), plan.cells[column], reason)) {
                error(plan.line, column, reason);
            } else if (row.is_number(i) && !is_number_column(column)) {
                error(plan.line, column,
                      "the cell holds a number" +
                          (is_secret(column) ? std::string() : " (it shows " + quoted_excerpt(row.cells[i]) + ")") +
                          ", not a text: a spreadsheet drops the leading 0 and the \"+\" of what it takes for a "
                          "number; format the column as Text and type it again");
            } else {
                continue;
            }
            // The row's other cells are still checked; the id is needed to.
            plan.bad_cells.insert(column);
            plan.refused = plan.refused || column == field_id || column == column_key;
        }
        if (plan.cells[field_id].empty() && !plan.refused) {
            refuse(plan, field_id, "the id is empty");
        }
        for (int column : plan.bad_cells) {
            plan.cells[column].clear();
        }
        return plan;
    }

    // The station's row as list shows it, with its secrets.
    const std::vector<std::string>& current_row(int station)
    {
        auto found = current_rows.find(station);
        if (found == current_rows.end()) {
            found = current_rows.emplace(station, station_row(stations[station], true)).first;
        }
        return found->second;
    }

    std::string fingerprint_of(int station, bool secrets_shown)
    {
        std::vector<std::string> row = current_row(station);
        for (int column = 0; column < station_field_count; ++column) {
            if (is_secret(column)) {
                row[column] = shown_secret(row[column], secrets_shown);
            }
        }
        return row_fingerprint(row);
    }

    // The station a key stands for: the one at its listed place with its
    // fingerprint, else the only other one with it (stations above it were
    // added or removed since), else one that changed since: at its place
    // or alone with its id. -1 when none is.
    int keyed_station(const RowKey& key, const std::string& id, bool& stale)
    {
        const int place = key.position - 1;
        const bool at_place = place < static_cast<int>(stations.size());
        stale = false;
        if (at_place && fingerprint_of(place, key.secrets_shown) == key.fingerprint) {
            return place;
        }
        std::unordered_map<std::string, std::vector<int>>& index = fingerprints[key.secrets_shown ? 1 : 0];
        if (!fingerprints_made[key.secrets_shown ? 1 : 0]) {
            for (int s = 0; s < static_cast<int>(stations.size()); ++s) {
                index[fingerprint_of(s, key.secrets_shown)].push_back(s);
            }
            fingerprints_made[key.secrets_shown ? 1 : 0] = true;
        }
        const auto moved = index.find(key.fingerprint);
        if (moved != index.end() && moved->second.size() == 1) {
            return moved->second[0];
        }
        stale = true;
        if (at_place && ids[place] == id) {
            return place;
        }
        const StationsById::Places held = by_id.holders(id);
        return held.size() == 1 ? held[0] : -1;
    }

    void match_keyed(RowPlan& plan, const std::string& key_cell)
    {
        RowKey key;
        if (!read_key(key_cell, key)) {
            refuse(plan, column_key,
                   excerpt(key_cell) + " is not a key that list writes; empty the cell to find the station by its id");
            return;
        }
        const std::string& row_id = plan.cells[field_id];
        if (has_listed) {
            const auto listed = listed_rows.find(key_text(key));
            if (listed == listed_rows.end()) {
                refuse(plan, column_key,
                       "the key " + key_text(key) +
                           " is not one this workbook was listed with: the row comes from another list; empty its "
                           "key to find the station by its id");
                return;
            }
            plan.listed = &listed->second;
            used_keys.push_back(listed->first);
        }
        plan.secrets_shown = key.secrets_shown;
        const std::string expected_id = plan.listed ? (*plan.listed)[field_id] : row_id;
        bool stale = false;
        const int station = keyed_station(key, visible_text(expected_id), stale);
        if (station < 0) {
            refuse(plan, column_key,
                   "the station this row was listed for (id " + utf8_from_cp1252(expected_id) + ") is no longer in " +
                       file() + ", or no longer one of its kind: delete the row, or list " + file() + " again");
            return;
        }
        const std::string listed_id = plan.listed ? (*plan.listed)[field_id] : ids[station];
        if (row_id == listed_id) {
            if (taken_by[station] != 0) {
                refuse(plan, field_id,
                       "this row and the row on line " + std::to_string(taken_by[station]) +
                           " are both the row of station " + utf8_from_cp1252(listed_id) +
                           " (the same key): to add a copy as a new station, give it an id of its own");
                return;
            }
            taken_by[station] = plan.line;
            plan.station = station;
            plan.stale = stale && plan.listed == nullptr;
            return;
        }
        if (dropped_leading(listed_id, row_id)) {
            refuse(plan, field_id, leading_dropped(listed_id, row_id));
            return;
        }
        plan.copied_from = station;  // a copy of the row, with an id of its own
    }

    static std::string leading_dropped(const std::string& full, const std::string& cell)
    {
        return excerpt(cell) + " is " + excerpt(full) + " without its leading " + dropped_part(full, cell) +
               ": a spreadsheet drops it from what it takes for a number; format the column as Text and type it "
               "again";
    }

    // The k-th row of an id without a key is the k-th station that holds it.
    void match_by_id(RowPlan& plan)
    {
        const std::string& id = plan.cells[field_id];
        std::vector<int>& lines = keyless_lines[id];
        lines.push_back(plan.line);
        const size_t count = by_id.holders(id).size();
        if (count == 0) {
            const std::string* longer = id_with_leading(id);
            if (longer != nullptr) {
                refuse(plan, field_id, leading_dropped(*longer, id));
            }
            return;  // a new station, unless its id is on another row too
        }
        const int station = by_id.take_next(id);
        if (station < 0) {
            refuse(plan, field_id,
                   "the id " + utf8_from_cp1252(id) + " is on line " + std::to_string(lines[0]) + " too" +
                       (count > 1 ? ", and only " + std::to_string(count) + " stations of the settings file hold it"
                                  : ""));
            return;
        }
        if (taken_by[station] != 0) {
            refuse(plan, field_id,
                   "the row on line " + std::to_string(taken_by[station]) + " changes the station of the id " +
                       utf8_from_cp1252(id) + " already, found by its key");
            return;
        }
        taken_by[station] = plan.line;
        plan.station = station;
    }

    // The id that `id` is without its leading zeros or "+"; null for none.
    const std::string* id_with_leading(const std::string& id)
    {
        if (stripped_ids.empty()) {
            for (const std::string& held : ids) {
                size_t first = held.compare(0, 1, "+") == 0 ? 1 : 0;
                while (first < held.size() && held[first] == '0') {
                    ++first;
                }
                if (first > 0 && first < held.size()) {
                    stripped_ids.emplace(held.substr(first), held);
                }
            }
            stripped_ids.emplace(std::string(), std::string());  // made, even for a fleet without such ids
        }
        const auto found = stripped_ids.find(id);
        return found == stripped_ids.end() || id.empty() ? nullptr : &found->second;
    }
    std::unordered_map<std::string, std::string> stripped_ids;

    // Rows without a key that go to stations sharing their id, by file
    // order, said so that the operator can see which went where.
    void note_shared_ids()
    {
        std::vector<std::string> said_ids;
        for (const RowPlan& plan : plans) {
            const std::string& id = plan.cells[field_id];
            const StationsById::Places held = by_id.holders(id);
            const auto lines = keyless_lines.find(id);
            if (plan.refused || plan.station < 0 || held.size() < 2 || lines == keyless_lines.end() ||
                std::find(said_ids.begin(), said_ids.end(), id) != said_ids.end()) {
                continue;
            }
            said_ids.push_back(id);
            std::vector<std::string> places, rows;
            for (int place : held) {
                places.push_back(std::to_string(place + 1));
            }
            for (int line : lines->second) {
                rows.push_back(std::to_string(line));
            }
            outcome.notes.push_back("the id " + utf8_from_cp1252(id) + " is shared by the stations at positions " +
                                    joined(places) + ": its rows without a key (lines " + joined(rows) +
                                    ") go to them in the order of the file");
        }
    }

    // Checks a value the row stores, as the station dialog would show it;
    // the text to store, or false with the error said.
    bool stored_value(const RowPlan& plan, int column, const std::string& cell, std::string& text)
    {
        const StationField& field = station_fields[column];
        const std::string shown = said(column, cell);
        int64_t number = 0;
        if (field.source == FieldSource::parameter_time) {
            const int64_t most = std::numeric_limits<int32_t>::max() / field.unit_seconds;
            if (!whole_number(cell, most, number)) {
                error(plan.line, column,
                      shown + " is not a whole number of " +
                          (field.unit_seconds == seconds_per_hour ? "hours" : "minutes") + " from 0 to " +
                          std::to_string(most));
                return false;
            }
            text = std::to_string(number);
        } else if (column == field_http_port) {
            if (!whole_number(cell, 65535, number)) {
                error(plan.line, column, shown + " is not a port number (0 to 65535)");
                return false;
            }
            text = std::to_string(number);
        } else if (column == field_gsm_mode) {
            const GsmMode mode = mode_named(cell);
            if (mode == gsm_mode_none) {
                error(plan.line, column, "unknown GSM mode " + shown + " (Disabled, GPRS PUSH or GSM DATA)");
                return false;
            }
            text = gsm_mode_names[mode];
        } else if (column == field_pin && (cell.size() < 4 || cell.size() > 8 || !all_digits(cell))) {
            error(plan.line, column,
                  "a SIM's PIN is 4 to 8 digits, without blanks; the cell holds " + std::to_string(cell.size()) +
                      (cell.size() == 1 ? " character" : " characters") +
                      (all_digits(cell) || cell.empty() ? "" : ", not all of them digits"));
            return false;
        } else {
            text = cell;
        }
        return true;
    }

    // What the row changes in its station, each value merged with the file's.
    bool pending_changes(RowPlan& plan, std::vector<Pending>& pending)
    {
        const std::vector<std::string>& current = current_row(plan.station);
        bool read = true;
        for (int column = 0; column < list_column_count; ++column) {
            if (column == field_id || !columns.has(column) || plan.bad_cells.count(column) > 0) {
                continue;
            }
            // A column added to a workbook listed with fewer has no values
            // as listed: its cells are read as those of a CSV file.
            const std::vector<std::string>* listed =
                plan.listed != nullptr && listed_columns.has(column) ? plan.listed : nullptr;
            const std::string& cell = plan.cells[column];
            const std::string& value = current[column];
            if (is_sequence_column(column)) {
                read = sequence_unchanged(plan, column, cell, value) && read;
                continue;
            }
            const bool secret = is_secret(column);
            if (listed != nullptr) {
                const std::string& as_listed = (*listed)[column];
                if (shows(column, cell, as_listed) || (secret && cell == hidden_secret)) {
                    continue;
                }
                if (cell.empty() && !may_be_empty(column)) {
                    error(plan.line, column,
                          std::string("the cell is empty: the ") + station_fields[column].label +
                              " cannot be cleared; type its value again");
                    read = false;
                    continue;
                }
                const std::string file_value = secret ? shown_secret(value, plan.secrets_shown) : value;
                if (!shows(column, as_listed, file_value)) {
                    if (shows(column, cell, value)) {
                        continue;  // changed the same way in both
                    }
                    if (!options.force) {
                        error(plan.line, column,
                              "changed in the sheet and in " + file() + " since the sheet was listed: listed " +
                                  said(column, as_listed) + ", in the sheet " + said(column, cell) + ", in " + file() +
                                  " " + said(column, value) + "; give --force to take the sheet's value");
                        read = false;
                        continue;
                    }
                    outcome.closing.push_back(utf8_from_cp1252(ids[plan.station]) + ": " +
                                              station_fields[column].label + ": the sheet's " + said(column, cell) +
                                              " replaces " + said(column, value) + ", which " + file() +
                                              " holds since the sheet was listed (--force)");
                }
            } else {
                if (cell.empty() || (secret && cell == hidden_secret) || shows(column, cell, value)) {
                    continue;
                }
                if (plan.stale && !options.force) {
                    error(plan.line, -1,
                          "station " + utf8_from_cp1252(ids[plan.station]) + " was changed in " + file() +
                              " since this sheet was listed, and a CSV file does not hold the values as listed to "
                              "tell its changes from the sheet's: list " +
                              file() + " again, or give --force to take the sheet's values");
                    return false;
                }
            }
            if (keeps_leading_digits(column) &&
                (dropped_leading(value, cell) || (listed != nullptr && dropped_leading((*listed)[column], cell)))) {
                const std::string& full = dropped_leading(value, cell) ? value : (*listed)[column];
                error(plan.line, column,
                      secret ? "the PIN of the cell is the station's without its leading " + dropped_part(full, cell) +
                                   ": a spreadsheet drops it from what it takes for a number; format the column as "
                                   "Text and type it again"
                             : leading_dropped(full, cell));
                read = false;
                continue;
            }
            std::string text;
            if (!stored_value(plan, column, cell, text)) {
                read = false;
                continue;
            }
            if (!shows(column, text, value)) {
                pending.push_back(Pending{column, text});
            }
        }
        return read;
    }

    // The sequences are read only: a cell may only say what the station
    // holds, or what it held when listed.
    bool sequence_unchanged(const RowPlan& plan, int column, const std::string& cell, const std::string& value)
    {
        if (cell.empty() || cell == value || cell == visible_text(value) ||
            (plan.listed != nullptr && cell == (*plan.listed)[column])) {
            return true;
        }
        const int role = column - station_field_count;
        error(plan.line, column,
              std::string("the ") + sequence_roles[role].caption +
                  " cannot be changed by an import (the station's reads " + excerpt(value) +
                  "); change it in the station dialog, or copy another station's with apply");
        return false;
    }

    static void store_pending(const std::vector<Pending>& pending, StationValues& values)
    {
        for (const Pending& p : pending) {
            if (p.column == field_gsm_mode) {
                apply_gsm_mode(mode_named(p.text), values.flags);
            }
            values.text[p.column] = p.text;
        }
    }

    std::string new_id_of(const RowPlan& plan)
    {
        const std::string& new_id = plan.cells[column_new_id];
        if (new_id.empty()) {
            return new_id;
        }
        std::string reason;
        const std::string& id = ids[plan.station];
        if (!is_plain_integer(new_id)) {
            reason = excerpt(new_id) + " is not a plain number: the station dialog would show another id";
        } else if (new_id != id && by_id.holds(new_id)) {
            reason = "the id " + new_id + " is held by a station of the settings file already";
        } else if (!new_ids.emplace(new_id, plan.line).second) {
            reason = "the new id " + new_id + " is on line " + std::to_string(new_ids[new_id]) + " too";
        }
        if (!reason.empty()) {
            error(plan.line, column_new_id, reason);
            return "\x01";  // refused
        }
        return new_id;
    }
    std::unordered_map<std::string, int> new_ids;    // given on rows, with their lines
    std::unordered_map<std::string, int> added_ids;  // of new stations, with their lines
    bool too_many_said = false;

    void report(TiXmlElement* station, std::shared_ptr<TiXmlElement> original, std::string added_detail = "",
                bool sequences_stayed = false)
    {
        ++(original == nullptr ? outcome.added : outcome.changed);
        ChangedStation changed;
        changed.station = station;
        changed.original = std::move(original);
        changed.added_detail = std::move(added_detail);
        changed.sequences_stayed = sequences_stayed;
        outcome.stations.push_back(std::move(changed));
        if (changed_now) {
            changed_now(outcome.stations.back());
        }
    }

    void change_station(RowPlan& plan)
    {
        std::vector<Pending> pending;
        const bool read = pending_changes(plan, pending);
        const std::string new_id = new_id_of(plan);
        if (!read || new_id == "\x01" || (pending.empty() && new_id.empty()) || !outcome.errors.empty()) {
            return;
        }
        TiXmlElement* station = stations[plan.station];
        const std::string id = new_id.empty() ? xml_get_attr_text(station, "id") : new_id;
        // Most rows change nothing and never come here; a station that
        // changes takes the dialog's road. A complete record of elements
        // alone comes back from the dialog's copy as it went in: storing
        // into it in place gives the same record, without two copies. The
        // store leaves the sequences as they are, so the record as it was is
        // kept without them.
        const CompletedStation completed(station);
        if (completed.element() == station && only_elements(station)) {
            std::shared_ptr<TiXmlElement> original = copy_but_sequences(station);
            StationValues values = load_station_values(station, completed.parts());
            store_pending(pending, values);
            values.text[field_id] = id;
            store_station_values(station, completed.parts(), values);
            report(station, std::move(original), "", true);
            return;
        }
        std::shared_ptr<TiXmlElement> original = copy_of(station);
        store_as_dialog(station, pending, id);
        report(station, std::move(original));
    }

    // Stores the row's values and id as the station dialog's OK would, and
    // for a new station the sequences it copies (null for a default one).
    static void store_as_dialog(TiXmlElement* station, const std::vector<Pending>& pending, const std::string& id,
                                const TiXmlElement* const* copied_sequences = nullptr)
    {
        const std::unique_ptr<TiXmlElement> working(xml_add_child(nullptr, "STATION"));
        edit_station_copy(station, working.get(), [&](const StationParts& parts, StationValues& values) {
            store_pending(pending, values);
            values.text[field_id] = id;
            for (int role = 0; copied_sequences != nullptr && role < sequence_role_count; ++role) {
                if (copied_sequences[role] != nullptr) {
                    xml_clear(parts.sequence(role));
                    xml_copy(parts.sequence(role), copied_sequences[role]);
                }
            }
            return true;
        });
    }

    // The texts of a new station's sequences, as "Add a new NUXO" makes them.
    const std::vector<std::string>& default_sequence_texts()
    {
        if (default_sequences.empty()) {
            const std::unique_ptr<TiXmlElement> fresh(xml_add_child(nullptr, "STATION"));
            complete_station_defaults(fresh.get());
            const std::vector<std::string> row = station_row(fresh.get(), true);
            default_sequences.assign(row.begin() + station_field_count, row.end());
        }
        return default_sequences;
    }

    // The station whose sequence of `role` reads `text`: the copied one
    // first, else the first in the list; -1 for none.
    int sequence_source(int role, const std::string& text, int copied_from)
    {
        const int column = station_field_count + role;
        if (copied_from >= 0 && shows(column, text, current_row(copied_from)[column])) {
            return copied_from;
        }
        if (!sequence_holders_made) {
            for (int s = static_cast<int>(stations.size()) - 1; s >= 0; --s) {
                for (int r = 0; r < sequence_role_count; ++r) {
                    sequence_holders[r][visible_text(current_row(s)[station_field_count + r])] = s;
                }
            }
            sequence_holders_made = true;
        }
        const auto found = sequence_holders[role].find(text);
        return found == sequence_holders[role].end() ? -1 : found->second;
    }

    // As "Add a new NUXO" and OK do: an empty STATION at the end of the
    // list, which the dialog completes with the defaults and its OK stores
    // with the row's values. A row copied from another station's takes that
    // station's sequences and hidden secrets, as its cells say.
    void add_station(RowPlan& plan)
    {
        const std::string& id = plan.cells[field_id];
        if (plan.copied_from >= 0 && by_id.holds(visible_text(id))) {
            refuse(plan, field_id,
                   "the id " + utf8_from_cp1252(id) + " is held by another station already: a row copied from " +
                       "station " + utf8_from_cp1252(ids[plan.copied_from]) + " needs an id of its own");
            return;
        }
        if (static_cast<int>(added_ids.size()) >= added_stations_limit) {
            if (!too_many_said) {
                error(plan.line, field_id,
                      "more than " + std::to_string(added_stations_limit) +
                          " new stations: add them in several sheets, or check that the sheet is the one meant");
                too_many_said = true;
            }
            plan.refused = true;
            return;
        }
        const auto twice = added_ids.emplace(id, plan.line);
        if (!twice.second) {
            refuse(plan, field_id,
                   "the id " + utf8_from_cp1252(id) + " is on line " + std::to_string(twice.first->second) + " too");
            return;
        }
        if (!options.add) {
            refuse(plan, field_id,
                   plan.copied_from >= 0
                       ? "the row is a copy of station " + utf8_from_cp1252(ids[plan.copied_from]) +
                             "'s row with the new id " + utf8_from_cp1252(id) +
                             "; give --add to add it as a new station"
                       : "no station has the id " + excerpt(id) + "; give --add to add it as a new station");
            return;
        }
        if (!all_digits(id)) {
            refuse(plan, field_id, excerpt(id) + " is not a number: a new station's id is one");
            return;
        }
        if (!plan.cells[column_new_id].empty()) {
            refuse(plan, column_new_id,
                   "a new station takes the id of its row; new_id gives a station that exists another id");
            return;
        }
        std::vector<Pending> pending;
        std::vector<std::string> defaults, copied_secrets;
        const TiXmlElement* sequences[sequence_role_count] = {};
        std::unique_ptr<CompletedStation> sources[sequence_role_count];
        std::vector<std::string> sequence_words[2];  // copied, default
        std::string copied_id;
        for (int column = 0; column < list_column_count; ++column) {
            const std::string& cell = plan.cells[column];
            if (column == field_id || plan.bad_cells.count(column) > 0) {
                continue;
            }
            if (is_sequence_column(column)) {
                const int role = column - station_field_count;
                const std::string word = sequence_roles[role].name;
                const int source = cell.empty() ? -1 : sequence_source(role, cell, plan.copied_from);
                if (source >= 0) {
                    sources[role].reset(new CompletedStation(stations[source]));
                    sequences[role] = sources[role]->parts().sequence(role);
                    sequence_words[0].push_back(word);
                    copied_id = ids[source];
                } else if (cell.empty() || cell == default_sequence_texts()[role]) {
                    sequence_words[1].push_back(word);
                } else {
                    error(plan.line, column,
                          std::string("no station has this ") + sequence_roles[role].caption +
                              ": a new station takes the sequences of a station whose row it copies, or the "
                              "default ones when the cell is empty");
                }
                continue;
            }
            if (cell.empty()) {
                defaults.push_back(list_column_name(column));
                continue;
            }
            if (is_secret(column) && cell == hidden_secret) {
                if (plan.copied_from >= 0) {
                    pending.push_back(Pending{column, current_row(plan.copied_from)[column]});
                    copied_secrets.push_back(list_column_name(column));
                } else {
                    defaults.push_back(list_column_name(column));
                }
                continue;
            }
            std::string text;
            if (stored_value(plan, column, cell, text)) {
                pending.push_back(Pending{column, text});
            }
        }
        if (!outcome.errors.empty()) {
            return;
        }
        std::vector<std::string> detail;
        if (!sequence_words[0].empty()) {
            detail.push_back(joined(sequence_words[0]) + " sequences of station " + utf8_from_cp1252(copied_id));
        }
        if (!copied_secrets.empty()) {
            detail.push_back(joined(copied_secrets) + " of station " + utf8_from_cp1252(ids[plan.copied_from]));
        }
        if (!sequence_words[1].empty()) {
            detail.push_back("default " + joined(sequence_words[1]) + " sequences");
        }
        if (!defaults.empty()) {
            detail.push_back(defaults.size() <= 5 ? "defaults for " + joined(defaults)
                                                  : "defaults for the " + std::to_string(defaults.size()) +
                                                        " values the row leaves empty");
        }
        TiXmlElement* station = xml_add_child(stations_element, "STATION");
        store_as_dialog(station, pending, id, sequences);
        report(station, nullptr, joined(detail));
    }

    // The stations no row stands for: said, and removed when asked. With
    // the values as listed, a station added to the file since is told from
    // one whose row the operator deleted, and only the latter is removed.
    void said_missing(bool has_listed)
    {
        std::vector<int> missing, added_since;
        std::vector<bool> deleted_row(stations.size(), !has_listed), changed_since(stations.size(), false);
        if (has_listed) {
            std::sort(used_keys.begin(), used_keys.end());
            for (const auto& listed : listed_rows) {
                if (std::binary_search(used_keys.begin(), used_keys.end(), listed.first)) {
                    continue;
                }
                RowKey key;
                bool stale = false;
                read_key(listed.first, key);
                const int station = keyed_station(key, visible_text(listed.second[field_id]), stale);
                if (station >= 0 && taken_by[station] == 0) {
                    deleted_row[station] = true;
                    changed_since[station] = stale;
                }
            }
        }
        for (size_t s = 0; s < stations.size(); ++s) {
            if (taken_by[s] == 0) {
                (deleted_row[s] ? missing : added_since).push_back(static_cast<int>(s));
            }
        }
        auto names = [&](const std::vector<int>& list) {
            std::vector<std::string> said_ids;
            for (int s : list) {
                said_ids.push_back(ids[s].empty() ? "#" + std::to_string(s + 1) : utf8_from_cp1252(ids[s]));
            }
            return id_list(said_ids);
        };
        if (!added_since.empty()) {
            outcome.closing.push_back(std::to_string(added_since.size()) +
                                      (added_since.size() == 1 ? " station was" : " stations were") + " added to " +
                                      file() + " after the sheet was listed and " +
                                      (added_since.size() == 1 ? "is" : "are") + " kept: " + names(added_since));
        }
        // A sheet made by hand may name a few stations only; one that list
        // made had a row for each, which the operator deleted.
        if (missing.empty() || (!columns.has(column_key) && !options.remove_missing)) {
            return;
        }
        const bool remove = options.remove_missing;
        outcome.closing.push_back(std::to_string(missing.size()) +
                                  (missing.size() == 1 ? " station is" : " stations are") + " not in the sheet and " +
                                  (missing.size() == 1 ? "is" : "are") + (remove ? " removed: " : " kept: ") +
                                  names(missing));
        if (!remove) {
            return;
        }
        for (int s : missing) {
            if (changed_since[s] && !options.force) {
                error(0, -1,
                      "the row of station " + utf8_from_cp1252(ids[s]) +
                          " is deleted from the sheet, but the station " + "changed in " + file() +
                          " since the sheet was listed: give --force to remove it all the same");
            }
        }
        if (!outcome.errors.empty()) {
            return;
        }
        for (int s : missing) {
            TiXmlElement* station = stations[s];
            outcome.removed.push_back(
                RemovedStation{xml_get_attr_text(station, "id"), xml_get_attr_text(station, "description")});
            xml_clear(station);
            xml_remove_child(stations_element, station);
            stations[s] = nullptr;
        }
    }
};

}  // namespace

ImportOutcome import_csv(myXMLdocument& document, const std::string& csv_bytes, const ImportOptions& options,
                         const StationChanged& changed_now)
{
    ImportSheet sheet;
    SheetFault fault;
    if (!csv_format().read(csv_bytes, "", SheetChoice(), sheet, fault)) {
        // An encoding that cannot be read: the text as a whole.
        sheet.rows_refused = true;
        sheet.refused_reason = fault.reason;
    }
    return import_rows(document, std::move(sheet), options, changed_now);
}

ImportOutcome import_rows(myXMLdocument& document, ImportSheet sheet, const ImportOptions& options,
                          const StationChanged& changed_now)
{
    ImportOutcome outcome;
    if (sheet.rows_refused) {
        outcome.errors.push_back(ImportError{sheet.refused_line, "", sheet.refused_reason});
        return outcome;
    }
    Importer importer(document, outcome, options, changed_now);
    importer.run(sheet);
    return outcome;
}
