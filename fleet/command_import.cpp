// zantor-fleet import FILE SHEET [--add] [--dry-run] [--output OUT] [--backup]
// (import-csv, its first name, takes the same)
#include <cctype>

#include "doc/xml_load.h"
#include "fleet/command_write.h"
#include "fleet/fleet_commands.h"
#include "fleet/station_import.h"
#include "fleet/station_row.h"
#include "fleet/workbook_reader.h"

namespace {

CommandSpec import_spec_named(const char* name)
{
    return {name,
            "FILE SHEET [--add] [--dry-run] [--output OUT] [--backup] [--show-secrets] [--format text|json] [--strict]",
            "changes and adds stations from a spreadsheet (workbook or CSV) in the columns of list",
            "Reads SHEET, an Excel workbook (.xlsx, as list --xlsx writes it; its first sheet) or CSV, told apart by "
            "their content. In a workbook, text cells are read as they are, numbers as the digits they show; a "
            "formula, a date, an encrypted workbook are refused, and an error names its cell as the spreadsheet does "
            "(C12). CSV is read as UTF-8 with or without a byte-order mark, else Windows-1252, with ';', ',' or tab "
            "between cells, as the header row shows, and RFC 4180 quoting. Either holds the columns of 'zantor-fleet "
            "list --csv', named in any letter "
            "case and in any order; only id is needed. Each row changes the station with that id; where several "
            "stations share an id, the k-th row with it is the k-th station with it. A column new_id gives the row's "
            "station a new id, which repairs a shared one. With --add, a row whose id no station has appends a new "
            "station with the defaults of 'Add a new NUXO'. Values are stored as the station dialog's OK stores them: "
            "minutes and hours as seconds, the GSM mode as its three switches, the PIN into both of its places. An "
            "empty cell, and **** in pin, password or apn_password, leave the value as it is; slow, fast and health "
            "are read only (a cell that differs from the station's is refused). So the output of list --csv imports "
            "back without changing anything. A row that changes nothing leaves its station as it stands. Prints each "
            "change as diff does, then what check finds on the stations changed or added. Any error (a text that is "
            "not a number where one is needed, an unknown GSM mode, a line break, a character Windows-1252 cannot "
            "hold, an id no station has) is named by its line and column (its cell in a workbook), at most 20 of them, "
            "and nothing is written.",
            with_write_options({{"--add", nullptr,
                                 "A row whose id no station has adds a new station; without --add such a row is "
                                 "refused."}}),
            write_exit_status};
}

bool ends_with_xlsx(const std::string& name)
{
    const std::string end = ".xlsx";
    if (name.size() < end.size()) {
        return false;
    }
    for (size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - end.size() + i])) != end[i]) {
            return false;
        }
    }
    return true;
}

// Where an error stands, as the operator's spreadsheet names it: a line and
// column of a CSV file, a cell of a workbook ("cell C12, column pin").
std::string error_place(const ImportError& e, bool workbook)
{
    if (!workbook) {
        return " line " + std::to_string(e.line) + (e.column.empty() ? "" : ", column " + e.column);
    }
    if (e.position < 0) {
        return " row " + std::to_string(e.line);
    }
    return " cell " + cell_name(e.position, e.line) + ", column " + e.column;
}

void run_import_named(const CommandSpec& spec, const ParsedOptions& options, CommandOutput& output)
{
    if (options.operands.size() != 2) {
        usage_error(spec, std::string(spec.name) + " takes two files, FILE and SHEET", output);
        return;
    }
    const std::string& file = options.operands[0];
    const std::string& sheet = options.operands[1];
    std::string bytes, error;
    const bool csv_named = std::string(spec.name) == "import-csv";
    if (!read_whole_file(sheet.c_str(), bytes, error, csv_named ? "a CSV file" : "a spreadsheet")) {
        report_unreadable(spec, sheet, error, output);
        return;
    }
    // A workbook is told by its content; a name that says workbook on what
    // is none is refused rather than read as CSV.
    const bool workbook = is_zip_archive(bytes) || is_compound_file(bytes) || ends_with_xlsx(sheet);
    std::vector<SheetRow> rows;
    if (workbook && !read_workbook_rows(bytes, rows, error)) {
        report_unreadable(spec, sheet, error, output);
        return;
    }
    myXMLdocument* document = load_settings(spec, file, output);
    if (document == nullptr) {
        return;
    }
    ChangeLines lines(options);
    const StationChanged said = [&](ChangedStation& changed) { lines.add(changed); };
    const ImportOutcome outcome = workbook ? import_rows(*document, std::move(rows), options.has("--add"), said)
                                           : import_csv(*document, bytes, options.has("--add"), said);
    if (!outcome.errors.empty()) {
        std::vector<std::string> errors;
        for (const ImportError& e : outcome.errors) {
            errors.push_back(file_name_text(sheet) + error_place(e, workbook) + ": " + e.reason);
        }
        report_refused(spec, errors, output);
        return;
    }
    auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    finish_change(
        spec, options, file, *document, outcome.stations, lines,
        count(outcome.changed, "station changed", "stations changed") + ", " + std::to_string(outcome.added) + " added",
        output);
}

}  // namespace

const CommandSpec& import_spec()
{
    static const CommandSpec spec = import_spec_named("import");
    return spec;
}

const CommandSpec& import_csv_spec()
{
    static const CommandSpec spec = import_spec_named("import-csv");
    return spec;
}

void run_import(const ParsedOptions& options, CommandOutput& output)
{
    run_import_named(import_spec(), options, output);
}

void run_import_csv(const ParsedOptions& options, CommandOutput& output)
{
    run_import_named(import_csv_spec(), options, output);
}
