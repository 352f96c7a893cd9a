#include "fleet/station_import.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <unordered_map>

#include "doc/cp1252.h"
#include "doc/top_level.h"
#include "fleet/csv_reader.h"
#include "fleet/fleet_diff.h"
#include "fleet/fleet_station.h"
#include "fleet/fleet_text.h"
#include "fleet/sequence_text.h"
#include "fleet/station_row.h"
#include "station/station_values.h"

namespace {

const int column_new_id = list_column_count;  // beside the columns of list --csv

const char* const sequence_labels[3] = {"Slow sequence", "Fast sequence", "Health sequence"};
const char* const hidden_secret = "****";

bool same_name(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool all_digits(const std::string& text)
{
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// A whole number no larger than `limit`, blanks around it allowed.
bool whole_number(const std::string& text, int64_t limit, int64_t& value)
{
    const std::string digits = trimmed(text);
    if (!all_digits(digits) || digits.size() > 12) {
        return false;
    }
    value = std::stoll(digits);
    return value <= limit;
}

const char* column_name(int column)
{
    return column == column_new_id ? new_id_column : list_column_name(column);
}

// Letters to change, add or drop to turn one name into the other.
size_t distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string nearest_column(const std::string& name)
{
    // A name cut short ("phone") means the column it begins.
    for (int column = 0; column <= column_new_id; ++column) {
        if (same_name(name, std::string(column_name(column)).substr(0, name.size()).c_str())) {
            return column_name(column);
        }
    }
    int best = 0;
    for (int column = 1; column <= column_new_id; ++column) {
        if (distance(name, column_name(column)) < distance(name, column_name(best))) {
            best = column;
        }
    }
    return column_name(best);
}

// The UTF-8 character that starts at `offset`, for a message.
std::string character_at(const std::string& utf8, size_t offset)
{
    const unsigned char lead = static_cast<unsigned char>(utf8[offset]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return utf8.substr(offset, length);
}

// The document text of a cell: a character the settings file cannot hold,
// or a control character, is refused rather than stored as something else.
bool document_text(const std::string& cell, std::string& text, std::string& reason)
{
    size_t bad = 0;
    if (!cp1252_from_utf8(cell, text, &bad)) {
        reason = "the character \"" + character_at(cell, bad) +
                 "\" cannot be stored: the settings file is in Windows-1252, which has no such character";
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

GsmMode mode_named(const std::string& text)
{
    for (int mode = gsm_mode_disabled; mode <= gsm_mode_gsm_data; ++mode) {
        if (same_name(trimmed(text), gsm_mode_names[mode])) {
            return static_cast<GsmMode>(mode);
        }
    }
    return gsm_mode_none;
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

class Importer {
public:
    Importer(myXMLdocument& document, ImportOutcome& outcome, bool add, const StationChanged& changed_now)
        : outcome(outcome), changed_now(changed_now), adding(add)
    {
        stations = bind_top_level(document).stations;
        for (TiXmlElement* station : listed_stations(document)) {
            // As list shows the id, so that its row finds the station.
            holders[visible_text(xml_get_attr_text(station, "id"))].push_back(station);
        }
    }

    // False when the header is refused; `columns` then stays incomplete.
    bool read_header(const SheetRow& header)
    {
        bool id_found = false;
        for (const std::string& cell : header.cells) {
            const std::string name = trimmed(cell);
            int found = name.empty() ? -1 : column_new_id + 1;
            for (int column = 0; !name.empty() && column <= column_new_id; ++column) {
                if (same_name(name, column_name(column))) {
                    found = column;
                }
            }
            if (found == column_new_id + 1) {
                error(header.line, "", "unknown column \"" + name + "\"; did you mean " + nearest_column(name) + "?");
                found = -1;
            }
            for (int earlier : columns) {
                if (found >= 0 && earlier == found) {
                    error(header.line, "", std::string("the column ") + column_name(found) + " is there twice");
                }
            }
            id_found = id_found || found == field_id;
            columns.push_back(found);
        }
        if (!id_found && outcome.errors.empty()) {
            error(header.line, "", "no id column: each row names its station by its id");
        }
        return outcome.errors.empty();
    }

    void import_row(const SheetRow& row)
    {
        const size_t errors_before = outcome.errors.size();
        std::vector<std::string> cells(columns.size());
        for (size_t i = 0; i < row.cells.size(); ++i) {
            if (i >= columns.size() || columns[i] < 0) {
                // One error for the column, however many rows fill it.
                if (!row.cells[i].empty() && unnamed_said.insert(i).second) {
                    error(row.line, "",
                          "cells stand in column " + std::to_string(i + 1) + ", which the header does not name");
                }
                continue;
            }
            std::string reason;
            if (!document_text(row.cells[i], cells[i], reason)) {
                error(row.line, column_name(columns[i]), reason);
                cells[i].clear();  // the row's other cells are still checked
            }
        }
        const std::string id = cells[id_index()];
        if (id.empty()) {
            if (outcome.errors.size() != errors_before) {
                return;  // an id Windows-1252 cannot hold, already said
            }
            error(row.line, "id", "the id is empty");
            return;
        }
        // The k-th row of an id is the k-th station that holds it.
        std::vector<int>& rows_of_id = lines_of_ids[id];
        rows_of_id.push_back(row.line);
        const std::vector<TiXmlElement*>& stations_of_id = holders[id];
        const size_t k = rows_of_id.size() - 1;
        if (k > 0 && k >= stations_of_id.size()) {
            error(row.line, "id",
                  "the id " + id + " is on line " + std::to_string(rows_of_id[0]) + " too" +
                      (stations_of_id.size() > 1 ? ", and only " + std::to_string(stations_of_id.size()) +
                                                       " stations of the settings file hold it"
                                                 : ""));
            return;
        }
        if (stations_of_id.empty() && !adding) {
            error(row.line, "id",
                  "no station has the id " + quoted(row.cells[id_index()]) + "; give --add to add it as a new station");
            return;
        }
        if (stations_of_id.empty() && !all_digits(id)) {
            error(row.line, "id", "\"" + row.cells[id_index()] + "\" is not a number: no station has it as its id");
            return;
        }
        const std::string new_id = new_id_index() < cells.size() ? cells[new_id_index()] : std::string();
        if (!new_id.empty() && !take_new_id(row, id, new_id, stations_of_id.empty())) {
            return;
        }
        const bool cells_read = outcome.errors.size() == errors_before;
        if (stations_of_id.empty()) {
            add_station(row, cells, cells_read);
        } else {
            change_station(row, stations_of_id[k], cells, cells_read, new_id);
        }
    }

private:
    ImportOutcome& outcome;
    const StationChanged& changed_now;
    TiXmlElement* stations = nullptr;
    std::unordered_map<std::string, std::vector<TiXmlElement*>> holders;
    std::unordered_map<std::string, std::vector<int>> lines_of_ids;
    std::unordered_map<std::string, int> new_ids;  // given on rows, with their lines
    std::set<size_t> unnamed_said;
    std::vector<int> columns;  // the list column of each cell, -1 for a column without a name
    bool adding = false;

    size_t new_id_index() const
    {
        size_t i = 0;
        while (i < columns.size() && columns[i] != column_new_id) {
            ++i;
        }
        return i;
    }

    // A new id must name one station only, after the import as before it.
    bool take_new_id(const SheetRow& row, const std::string& id, const std::string& new_id, bool added)
    {
        std::string reason;
        if (added) {
            reason = "a new station takes the id of its row; new_id gives a station that exists another id";
        } else if (!is_plain_integer(new_id)) {
            reason = quoted(new_id) + " is not a plain number: the station dialog would show another id";
        } else if (new_id != id && !holders[new_id].empty()) {
            reason = "the id " + new_id + " is held by a station of the settings file already";
        } else if (!new_ids.emplace(new_id, row.line).second) {
            reason = "the new id " + new_id + " is on line " + std::to_string(new_ids[new_id]) + " too";
        }
        if (!reason.empty()) {
            error(row.line, new_id_column, reason);
        }
        return reason.empty();
    }

    size_t id_index() const
    {
        size_t i = 0;
        while (columns[i] != field_id) {
            ++i;
        }
        return i;
    }

    void error(int line, const std::string& column, const std::string& reason)
    {
        int position = -1;
        for (size_t i = 0; !column.empty() && i < columns.size(); ++i) {
            if (columns[i] >= 0 && column == column_name(columns[i])) {
                position = static_cast<int>(i);
            }
        }
        outcome.errors.push_back(ImportError{line, column, reason, position});
    }

    // The row's values over those the dialog shows; the labels of the values
    // that change. False when a cell is refused.
    bool read_values(const SheetRow& row, const std::vector<std::string>& cells, const StationParts& parts,
                     StationValues& values, std::vector<std::string>& changed)
    {
        const size_t errors_before = outcome.errors.size();
        const TiXmlElement* sequences[3] = {parts.seq_slow, parts.seq_fast, parts.seq_health};
        for (size_t i = 0; i < cells.size(); ++i) {
            const int column = columns[i];
            const std::string& cell = cells[i];
            if (column < 0 || column == field_id || column == column_new_id || cell.empty()) {
                continue;
            }
            const char* name = column_name(column);
            if (column >= station_field_count) {
                const int role = column - station_field_count;
                SequenceChoices choices;
                read_sequence(sequences[role], choices);
                const std::string shown = sequence_text(choices);
                if (cell != shown && cell != visible_text(shown)) {
                    error(row.line, name,
                          std::string("the ") + sequence_labels[role] +
                              " cannot be changed by an import (the station's reads " +
                              quoted(utf8_from_cp1252(shown)) +
                              "); change it in the station dialog, or copy another station's with apply");
                }
                continue;
            }
            const StationField& field = station_fields[column];
            std::string& value = values.text[column];
            if ((field.secret && cell == hidden_secret) || cell == value || cell == visible_text(value)) {
                continue;
            }
            if (field.source == FieldSource::gsm_mode) {
                const GsmMode mode = mode_named(cell);
                if (mode == gsm_mode_none) {
                    error(row.line, name,
                          "unknown GSM mode " + quoted(utf8_from_cp1252(cell)) + " (Disabled, GPRS PUSH or GSM DATA)");
                } else if (mode != gsm_mode_from_flags(values.flags)) {
                    apply_gsm_mode(mode, values.flags);
                    value = gsm_mode_names[mode];
                    changed.push_back(field.label);
                }
                continue;
            }
            int64_t number = 0;
            if (field.source == FieldSource::parameter_time) {
                const int64_t most = std::numeric_limits<int32_t>::max() / field.unit_seconds;
                if (!whole_number(cell, most, number)) {
                    error(row.line, name,
                          quoted(utf8_from_cp1252(cell)) + " is not a whole number of " +
                              (field.unit_seconds == seconds_per_hour ? "hours" : "minutes") + " from 0 to " +
                              std::to_string(most));
                    continue;
                }
                if (std::to_string(number) == value) {
                    continue;
                }
            } else if (column == field_http_port && !whole_number(cell, 65535, number)) {
                error(row.line, name, quoted(utf8_from_cp1252(cell)) + " is not a port number (0 to 65535)");
                continue;
            }
            const bool numeric = field.source == FieldSource::parameter_time || column == field_http_port;
            const std::string stored = numeric ? trimmed(cell) : cell;
            if (stored != value) {
                value = stored;
                changed.push_back(field.label);
            }
        }
        return outcome.errors.size() == errors_before;
    }

    // The station dialog's road: a working copy completed with the defaults,
    // the values stored into it as its OK stores them, then copied back.
    void store_as_dialog(TiXmlElement* station, const std::vector<std::string>& cells, const SheetRow& row,
                         const std::string& id, bool added, bool cells_read, const std::string& new_id = std::string())
    {
        const std::unique_ptr<TiXmlElement> working(xml_add_child(nullptr, "STATION"));
        std::shared_ptr<TiXmlElement> original;
        const bool stored =
            edit_station_copy(station, working.get(), [&](const StationParts& parts, StationValues& values) {
                values.text[field_id] = id;
                std::vector<std::string> changed;
                if (!read_values(row, cells, parts, values, changed) || !cells_read) {
                    return false;
                }
                if (changed.empty() && !added && new_id.empty()) {
                    return false;
                }
                if (!new_id.empty()) {
                    values.text[field_id] = new_id;
                }
                original = added ? nullptr : copy_of(station);
                return true;
            });
        if (stored) {
            report(station, std::move(original));
        }
    }

    void report(TiXmlElement* station, std::shared_ptr<TiXmlElement> original, bool sequences_stayed = false)
    {
        ++(original == nullptr ? outcome.added : outcome.changed);
        outcome.stations.push_back(ChangedStation{station, std::move(original)});
        outcome.stations.back().sequences_stayed = sequences_stayed;
        if (changed_now) {
            changed_now(outcome.stations.back());
        }
    }

    void change_station(const SheetRow& row, TiXmlElement* station, const std::vector<std::string>& cells,
                        bool cells_read, const std::string& new_id)
    {
        // Most rows of a spreadsheet exported from the same file change
        // nothing: they are read against the record as it stands, and only
        // a station that changes takes the dialog's road.
        const CompletedStation completed(station);
        StationValues values = load_station_values(completed.element(), completed.parts());
        std::vector<std::string> changed;
        if (!read_values(row, cells, completed.parts(), values, changed) || !cells_read ||
            (changed.empty() && new_id.empty())) {
            return;
        }
        const std::string id = new_id.empty() ? xml_get_attr_text(station, "id") : new_id;
        // A complete record of elements alone comes back from the dialog's
        // copy as it went in: storing into it in place gives the same
        // record, without two copies of it. The store leaves the sequences
        // as they are, so the record as it was is kept without them.
        if (completed.element() == station && only_elements(station)) {
            std::shared_ptr<TiXmlElement> original = copy_but_sequences(station);
            values.text[field_id] = id;
            store_station_values(station, completed.parts(), values);
            report(station, std::move(original), true);
        } else {
            store_as_dialog(station, cells, row, xml_get_attr_text(station, "id"), false, true, new_id);
        }
    }

    // As "Add a new NUXO" does: an empty STATION at the end of the list,
    // which the dialog completes and its OK stores. A row with errors is
    // checked against a station of its own, which the document never sees.
    void add_station(const SheetRow& row, const std::vector<std::string>& cells, bool cells_read)
    {
        if (!cells_read) {
            const std::unique_ptr<TiXmlElement> unused(xml_add_child(nullptr, "STATION"));
            store_as_dialog(unused.get(), cells, row, cells[id_index()], true, false);
            return;
        }
        TiXmlElement* station = xml_add_child(stations, "STATION");
        store_as_dialog(station, cells, row, cells[id_index()], true, true);
    }
};

}  // namespace

const char* const new_id_column = "new_id";

ImportOutcome import_csv(myXMLdocument& document, const std::string& csv_bytes, bool add,
                         const StationChanged& changed_now)
{
    const std::string text = csv_text_as_utf8(csv_bytes);
    std::vector<SheetRow> records;
    int bad_line = 0;
    if (!read_csv_records(text, csv_separator(text), records, bad_line)) {
        ImportOutcome outcome;
        outcome.errors.push_back(ImportError{bad_line, "", "a quoted cell opens here and is never closed"});
        return outcome;
    }
    return import_rows(document, std::move(records), add, changed_now);
}

ImportOutcome import_rows(myXMLdocument& document, std::vector<SheetRow> records, bool add,
                          const StationChanged& changed_now)
{
    ImportOutcome outcome;
    // Spreadsheets end a sheet with empty rows; they name no station.
    std::vector<SheetRow> rows;
    for (SheetRow& record : records) {
        bool blank = true;
        for (const std::string& cell : record.cells) {
            blank = blank && trimmed(cell).empty();
        }
        if (!blank) {
            rows.push_back(std::move(record));
        }
    }
    if (rows.empty()) {
        outcome.errors.push_back(ImportError{1, "", "the file is empty: it has no header row"});
        return outcome;
    }
    Importer importer(document, outcome, add, changed_now);
    if (!importer.read_header(rows[0])) {
        return outcome;
    }
    for (size_t i = 1; i < rows.size(); ++i) {
        importer.import_row(rows[i]);
    }
    return outcome;
}
