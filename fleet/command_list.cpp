// zantor-fleet list FILE [--csv [--separator C] | --xlsx OUT] [--show-secrets]
#include "doc/cp1252.h"
#include "fleet/command_write.h"
#include "fleet/fleet_commands.h"
#include "fleet/output_csv.h"
#include "fleet/output_table.h"
#include "fleet/output_xlsx.h"
#include "fleet/row_key.h"
#include "fleet/station_row.h"

namespace {

std::string column_names()
{
    std::string names;
    for (int column = 0; column < list_column_count; ++column) {
        names += std::string(column == 0 ? "" : ", ") + list_column_name(column);
    }
    return names;
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

}  // namespace

const CommandSpec& list_spec()
{
    static const CommandSpec spec = {
        "list",
        "FILE [--csv [--separator C] | --xlsx OUT] [--show-secrets]",
        "one row per station, with the values the station dialog shows",
        "Lists the stations of a settings file in document order, one row each, with the columns " + column_names() +
            ". The id is the text as stored, so that an import finds the station again (check warns where the "
            "station dialog would show it otherwise); the other values are those the station dialog shows: the GSM "
            "mode as Disabled, GPRS PUSH or GSM DATA, times in whole minutes or hours. slow, fast and health give the "
            "choices of each sequence in a few words, for example 'VBat eol 11.9; 0/9 ge 100; 7/0; 10.7/1,5; "
            "10.120/0; SMS; S3=1': the battery with its end-of-life threshold, the channels of each port (port.probe "
            "on port 10) with their thresholds, the SMS on threshold and the forced outputs of each output change. "
            "PINs and passwords show as **** and an empty one as an empty cell. A control character in a value (a "
            "line break, a tab, or what a reference above 255 such as &#x2013; leaves in the file) shows as \\x and "
            "its code in two hexadecimal digits, a line break as \\x0A; import-csv reads such a cell as the value "
            "unchanged. Never writes a file.",
        {{"--csv", nullptr,
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

void run_list(const ParsedOptions& options, CommandOutput& output)
{
    const bool csv = options.has("--csv");
    char separator = ';';
    if (!usage_followed(list_spec(),
                        {{options.has("--xlsx") && csv, "--csv and --xlsx exclude each other"},
                         {options.has("--separator") && !csv, "--separator applies to --csv only"}},
                        output)) {
        return;
    }
    const std::string typed = options.value("--separator", ";");
    if (!separator_from(typed, separator)) {
        // A letter such as 'é' is several bytes in UTF-8, which a spreadsheet
        // cannot take for one separator.
        size_t characters = 0;
        for (char c : typed) {
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        }
        const bool one_letter = typed.size() > 1 && characters == 1 && is_valid_utf8(typed);
        usage_error(list_spec(),
                    one_letter ? "the separator '" + typed + "' is not an ASCII character: it takes " +
                                     std::to_string(typed.size()) + " bytes in UTF-8, and the separator must be one"
                               : std::string("the separator must be one character other than a double quote, or 'tab'"),
                    output);
        return;
    }
    if (options.operands.size() != 1) {
        usage_error(list_spec(), options.operands.empty() ? "no FILE given" : "list takes one FILE", output);
        return;
    }
    if (options.has("--xlsx") &&
        !outputs_apart(list_spec(), {{"--xlsx", options.value("--xlsx", "")}}, options.operands, output)) {
        return;
    }
    myXMLdocument* loaded = load_settings(list_spec(), options.operands[0], output);
    if (loaded == nullptr) {
        return;
    }
    myXMLdocument& document = *loaded;
    // A spreadsheet's rows carry their station's key, so that the import
    // finds it whatever is done to the rows.
    const std::vector<std::vector<std::string>> rows =
        list_rows(document, options.has("--show-secrets"), csv || options.has("--xlsx"));
    if (options.has("--xlsx")) {
        std::vector<bool> numbers(list_column_count, false);
        for (int column = 0; column < list_column_count; ++column) {
            numbers[column] =
                column < station_field_count && station_fields[column].source == FieldSource::parameter_time;
        }
        std::string error;
        const std::string out = options.value("--xlsx", "");
        // The same rows once more, hidden: the values as listed, which tell
        // the operator's changes from those made in the file since.
        const std::vector<std::vector<std::string>> listed = listed_sheet_rows(rows);
        if (!write_xlsx(out, {{"Stations", &rows, numbers, false}, {listed_sheet_name, &listed, {}, true}}, error)) {
            report_unreadable(list_spec(), out, error, output);
        } else {
            output.written = file_name_text(out);
        }
        return;
    }
    if (!csv) {
        output.out = aligned_table(rows);
        return;
    }
    output.out = utf8_byte_order_mark;
    for (const std::vector<std::string>& row : rows) {
        output.out += csv_record(row, separator);
    }
}
