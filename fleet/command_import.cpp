// zantor-fleet import-csv FILE CSV [--dry-run] [--output OUT] [--backup]
#include "doc/xml_load.h"
#include "fleet/command_write.h"
#include "fleet/fleet_commands.h"
#include "fleet/station_import.h"
#include "fleet/station_row.h"

const CommandSpec& import_csv_spec()
{
    static const CommandSpec spec = {
        "import-csv",
        "FILE CSV [--add] [--dry-run] [--output OUT] [--backup] [--show-secrets] [--format text|json] [--strict]",
        "changes and adds stations from a spreadsheet in the columns of list --csv",
        "Reads CSV (UTF-8 with or without a byte-order mark, else Windows-1252; ';', ',' or tab between cells, as "
        "the header row shows; RFC 4180 quoting) in the columns of 'zantor-fleet list --csv', named in any letter "
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
        "hold, an id no station has) is named by its line and column, at most 20 of them, and nothing is written.",
        with_write_options({{"--add", nullptr,
                             "A row whose id no station has adds a new station; without --add such a row is "
                             "refused."}}),
        write_exit_status};
    return spec;
}

void run_import_csv(const ParsedOptions& options, CommandOutput& output)
{
    if (options.operands.size() != 2) {
        usage_error(import_csv_spec(), "import-csv takes two files, FILE and CSV", output);
        return;
    }
    const std::string& file = options.operands[0];
    const std::string& csv = options.operands[1];
    std::string bytes, error;
    if (!read_whole_file(csv.c_str(), bytes, error, "a CSV file")) {
        report_unreadable(import_csv_spec(), csv, error, output);
        return;
    }
    myXMLdocument* document = load_settings(import_csv_spec(), file, output);
    if (document == nullptr) {
        return;
    }
    ChangeLines lines(options);
    const ImportOutcome outcome =
        import_csv(*document, bytes, options.has("--add"), [&](ChangedStation& changed) { lines.add(changed); });
    if (!outcome.errors.empty()) {
        std::vector<std::string> errors;
        for (const ImportError& e : outcome.errors) {
            errors.push_back(file_name_text(csv) + " line " + std::to_string(e.line) +
                             (e.column.empty() ? "" : ", column " + e.column) + ": " + e.reason);
        }
        report_refused(import_csv_spec(), errors, output);
        return;
    }
    auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    finish_change(
        import_csv_spec(), options, file, *document, outcome.stations, lines,
        count(outcome.changed, "station changed", "stations changed") + ", " + std::to_string(outcome.added) + " added",
        output);
}
