// zantor-fleet list FILE [--columns NAMES] [--csv [--separator C] | --xlsx OUT] [--show-secrets]
#include <algorithm>

#include "doc/cp1252.h"
#include "doc/utf8.h"
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/cli/write.h"
#include "fleet/formats/csv_writer.h"
#include "fleet/formats/table_writer.h"
#include "fleet/formats/workbook_writer.h"
#include "fleet/station/row_key.h"
#include "fleet/station/sheet_columns.h"
#include "fleet/station/station_row.h"
#include "fleet/station/text.h"

namespace {

std::vector<int> every_column()
{
    std::vector<int> columns;
    for (int column = 0; column < list_column_count; ++column) {
        columns.push_back(column);
    }
    return columns;
}

std::string column_names(const std::vector<int>& columns)
{
    std::string names;
    for (int column : columns) {
        names += std::string(names.empty() ? "" : ", ") + list_column_name(column);
    }
    return names;
}

// The columns --columns names, in its order. A name is compared as the
// import compares a header's, so that what a sheet's header may say is
// taken here too ("Phone_Nbr" is phone_nbr).
bool chosen_columns(const std::string& text, std::vector<int>& columns, std::string& error)
{
    const std::vector<std::string> names = comma_list(text);
    columns.clear();
    for (const std::string& name : names) {
        const std::string key = column_key_text(name);
        if (key == "all") {
            columns = every_column();
            error = names.size() == 1 ? "" : "--columns all stands alone: it gives every column";
            return names.size() == 1;
        }
        int found = -1;
        for (int column = 0; column < list_column_count && found < 0; ++column) {
            found = key == column_key_text(list_column_name(column)) ? column : -1;
        }
        if (found < 0) {
            error = "unknown column " + quoted_excerpt(name) + " in --columns; the columns are " +
                    column_names(every_column()) + ", or all";
            return false;
        }
        if (std::find(columns.begin(), columns.end(), found) != columns.end()) {
            error = std::string("the column ") + list_column_name(found) + " is given twice in --columns";
            return false;
        }
        columns.push_back(found);
    }
    error = columns.empty() ? "--columns names no column" : "";
    return !columns.empty();
}

// Keeps the cells of `columns` in their order, and the key last where the
// rows have one.
void keep_columns(std::vector<std::vector<std::string>>& rows, const std::vector<int>& columns, bool keyed)
{
    for (std::vector<std::string>& row : rows) {
        std::vector<std::string> kept;
        kept.reserve(columns.size() + 1);
        for (int column : columns) {
            kept.push_back(std::move(row[column]));
        }
        if (keyed) {
            kept.push_back(std::move(row.back()));
        }
        row = std::move(kept);
    }
}

// "tab" stands for the tab character, which a shell makes awkward to type.
bool separator_from(const std::string& text, char& separator)
{
    if (text == "tab") {
        separator = '\t';
        return true;
    }
    if (text.size() != 1 || text == "\"" || text == "\r" || text == "\n") {
        return false;
    }
    separator = text[0];
    return true;
}

const CommandSpec& list_spec()
{
    static const CommandSpec spec = {
        "list",
        "FILE [--columns NAMES] [--csv [--separator C] | --xlsx OUT] [--show-secrets]",
        "one row per station, with the values the station dialog shows",
        "Lists the stations of a settings file in document order, one row each, with the columns " +
            column_names(every_column()) + ". The table shows " + column_names(table_columns()) +
            " unless --columns chooses others, and is at most " + std::to_string(table_width_limit) +
            " characters wide whatever the terminal: the widest cells are cut, ending in '\xE2\x80\xA6', but no column "
            "is narrower than its name (when the names alone are wider, as with --columns all, no cell is cut). "
            "The id is the text as stored, so that an import finds the station again (check warns where the "
            "station dialog would show it otherwise); the other values are those the station dialog shows: the GSM "
            "mode as Disabled, GPRS PUSH or GSM DATA, times in whole minutes or hours. slow, fast and health give the "
            "choices of each sequence in a few words, for example 'VBat eol 11.9; 0/9 ge 100; 7/0; 10.7/1,5; "
            "10.120/0; SMS; S3=1': the battery with its end-of-life threshold, the channels of each port (port.probe "
            "on port 10) with their thresholds, the SMS on threshold and the forced outputs of each output change. "
            "PINs and passwords show as **** and an empty one as an empty cell. A control character in a value (a "
            "line break, a tab, or what a reference above 255 such as &#x2013; leaves in the file) shows as \\x and "
            "its code in two hexadecimal digits, a line break as \\x0A; import-csv reads such a cell as the value "
            "unchanged. Never writes a file.",
        {{"--columns", "NAMES",
          "The columns to list, in this order: their names separated by commas (in any letter case), for example "
          "id,description,phone_nbr, or all for every column. Without it the table shows the columns named above, "
          "--csv and --xlsx every column. --csv and --xlsx still end each row with the key column, and need the id "
          "column, by both of which import finds a row's station. A workbook holds no other column, not even in its "
          "hidden sheet."},
         {"--csv", nullptr,
          "Writes RFC 4180 CSV instead of a table: a header row of the column names, then one row a station, in "
          "UTF-8 with a byte-order mark so that spreadsheet programs show accented letters. Each row ends with a "
          "column key (K12-9F3A0C2E: the station's place in the list and a fingerprint of its row), by which "
          "import finds the row's station however the rows are sorted, and tells a station changed since."},
         {"--separator", "C",
          "The CSV separator: ';' (the default, as French-locale spreadsheets expect), ',' or any one character; "
          "'tab' for a tab. Only with --csv."},
         {"--xlsx", "OUT",
          "Writes the rows as an Excel workbook OUT instead, with the key column of --csv: a bold, frozen header "
          "row, every cell and every column typed as text (a spreadsheet keeps the '+' and leading zeros of phone "
          "numbers, PINs and ids, even of those typed later) but the minutes and hours, which are numbers. A second, "
          "hidden and protected sheet holds the rows as listed, so that import tells the operator's changes from "
          "those made in FILE since. Prints nothing."},
         {"--show-secrets", nullptr,
          "Shows PINs and passwords as they are; the PIN is the one the station dialog shows (PIN_CODE, else the "
          "station's pin)."}},
        "Exit status: 0 when the file was listed, 2 when it cannot be read (the reason is on standard error) or on "
        "a usage error."};
    return spec;
}

// The separator --separator names; false when it is none, said as a usage
// error.
bool chosen_separator(const ParsedOptions& options, char& separator, CommandOutput& output)
{
    const std::string typed = options.value("--separator", ";");
    if (separator_from(typed, separator)) {
        return true;
    }
    // A letter such as 'é' is several bytes in UTF-8, which a spreadsheet
    // cannot take for one separator.
    const bool one_letter = typed.size() > 1 && utf8_length(typed) == 1 && is_valid_utf8(typed);
    usage_error(list_spec(),
                one_letter ? "the separator '" + typed + "' is not an ASCII character: it takes " +
                                 std::to_string(typed.size()) + " bytes in UTF-8, and the separator must be one"
                           : std::string("the separator must be one character other than a double quote, or 'tab'"),
                output);
    return false;
}

// The columns listed: those --columns names, else the table's, or every
// one for a spreadsheet (its import then reads every value back). False
// when they are refused, said as a usage error.
bool listed_columns(const ParsedOptions& options, std::vector<int>& columns, CommandOutput& output)
{
    const bool csv = options.has("--csv");
    const bool sheet = csv || options.has("--xlsx");
    columns = sheet ? every_column() : table_columns();
    std::string wrong;
    if (options.has("--columns") && !chosen_columns(options.value("--columns", ""), columns, wrong)) {
        usage_error(list_spec(), wrong, output);
        return false;
    }
    if (sheet && std::find(columns.begin(), columns.end(), static_cast<int>(field_id)) == columns.end()) {
        usage_error(list_spec(),
                    std::string(csv ? "--csv" : "--xlsx") +
                        " needs the id column in --columns: import finds each row's station by it",
                    output);
        return false;
    }
    return true;
}

// The rows as a workbook OUT: the times are numbers, the rest text.
void write_workbook(const std::string& out, const std::vector<std::vector<std::string>>& rows,
                    const std::vector<int>& columns, CommandOutput& output)
{
    std::vector<bool> numbers;
    for (int column : columns) {
        numbers.push_back(column < station_field_count && station_fields[column].source == FieldSource::parameter_time);
    }
    std::string error;
    // The same rows once more, hidden: the values as listed, which tell the
    // operator's changes from those made in the file since. Only the columns
    // listed: a workbook of a few columns holds no more of the stations than
    // it shows.
    const std::vector<std::vector<std::string>> listed = listed_sheet_rows(rows);
    if (!write_xlsx(out, {{"Stations", &rows, numbers, false}, {listed_sheet_name, &listed, {}, true}}, error)) {
        report_unreadable(list_spec(), out, error, output);
    } else {
        output.written = file_name_text(out);
    }
}

void run_list(const ParsedOptions& options, CommandOutput& output)
{
    const bool csv = options.has("--csv");
    char separator = ';';
    if (!usage_followed(list_spec(),
                        {{options.has("--xlsx") && csv, "--csv and --xlsx exclude each other"},
                         {options.has("--separator") && !csv, "--separator applies to --csv only"}},
                        output) ||
        !chosen_separator(options, separator, output)) {
        return;
    }
    if (options.operands.size() != 1) {
        usage_error(list_spec(), options.operands.empty() ? "no FILE given" : "list takes one FILE", output);
        return;
    }
    std::vector<int> columns;
    if (!listed_columns(options, columns, output) ||
        (options.has("--xlsx") &&
         !outputs_apart(list_spec(), {{"--xlsx", options.value("--xlsx", "")}}, options.operands, output))) {
        return;
    }
    myXMLdocument* document = load_settings(list_spec(), options.operands[0], output);
    if (document == nullptr) {
        return;
    }
    // A spreadsheet's rows carry their station's key, so that the import
    // finds it whatever is done to the rows. The key is made from the whole
    // row, whichever columns are shown: import compares it with the row of
    // the station as it is now.
    const bool sheet = csv || options.has("--xlsx");
    std::vector<std::vector<std::string>> rows = list_rows(*document, options.has("--show-secrets"), sheet);
    keep_columns(rows, columns, sheet);
    if (options.has("--xlsx")) {
        write_workbook(options.value("--xlsx", ""), rows, columns, output);
    } else if (!csv) {
        output.out = aligned_table(rows, table_width_limit);
    } else {
        output.out = utf8_byte_order_mark;
        for (const std::vector<std::string>& row : rows) {
            output.out += csv_record(row, separator);
        }
    }
}

}  // namespace

Command list_command()
{
    return {list_spec(), run_list};
}
