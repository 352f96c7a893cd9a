// zantor-fleet import FILE SHEET [--add] [--force] [--remove-missing] [--dry-run] [--output OUT] [--backup]
// (import-csv, its first name, takes the same)
#include "fleet/change/import.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "doc/file_system.h"
#include "doc/xml_load.h"
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/cli/write.h"
#include "fleet/formats/csv_reader.h"
#include "fleet/formats/sheet_file.h"
#include "fleet/formats/workbook_reader.h"
#include "fleet/station/row_key.h"
#include "fleet/station/sheet_columns.h"
#include "fleet/station/station_row.h"
#include "fleet/station/text.h"

namespace {

CommandSpec import_spec_named(const char* name)
{
    return {name,
            "FILE SHEET [--add] [--force] [--remove-missing] [--dry-run] [--output OUT] [--backup] [--show-secrets] "
            "[--format text|json] [--each] [--strict]",
            "changes, adds and removes stations from a spreadsheet (workbook or CSV) in the columns of list",
            "Reads SHEET, an Excel workbook (.xlsx, as list --xlsx writes it) or CSV, told apart by their content. In "
            "a workbook, the first sheet with a row that names the column id is read, from that row on; text cells "
            "as they are, numbers as the text they show under their number format; a formula, a date, TRUE "
            "or FALSE, an error value such as #N/A are refused as errors of the input, named by their "
            "sheet and cell as the spreadsheet does (C12). An encrypted workbook, an old .xls and an "
            "OpenDocument spreadsheet (.ods) are not read: save them as .xlsx. CSV is read as UTF-8 with "
            "or without a byte-order mark, UTF-16 with one (a spreadsheet's Unicode text), else "
            "Windows-1252, with ';', ',' or tab between cells, as a first line 'sep=;' names or else the "
            "header row shows, and RFC 4180 quoting. Either holds the columns of 'zantor-fleet list "
            "--csv', named in any letter case, with any blanks or underscores, in any order; only id is needed. A "
            "column whose name is close to one of them ('phone nr') is refused with that name; one far from all of "
            "them (notes of the operator's own) is not read, and said. A row finds its station by its key, the "
            "column list writes: sorting, filtering or deleting rows never changes which station a row changes. A "
            "row without a key finds it by its id; where several stations share an id, the k-th such row is the "
            "k-th station with it, and a note says so. A column new_id gives the row's station a new id, which "
            "repairs a shared one. A workbook from list --xlsx also holds every value as it was listed (in a "
            "hidden sheet): a value the sheet changed is stored, one that the file changed since it was listed is "
            "kept, and one that both changed otherwise is a conflict, named by its cell with its three values; a "
            "cleared cell clears the value. Without the listed values (a CSV file, a sheet made by hand) an empty "
            "cell keeps the value, and a row of a key whose station changed since the list is refused when it "
            "would change it. A row copied from another (its key kept) with an id of its own is a new station "
            "with --add, which takes the sequences of that station and its hidden PIN and passwords, as the cells "
            "say. Values are stored as the station dialog's OK stores them: minutes and hours as seconds, the GSM "
            "mode as its three switches, the PIN into both of its places. **** in pin, password or apn_password "
            "leaves the value as it is; slow, fast and health are read only (a cell that differs from the "
            "station's is refused). So the output of list imports back without changing anything. Prints each "
            "kind of change once, with the number of stations it changed and the first of them (--each: each "
            "change as diff does), then what check finds on the stations changed or added, then the notes on the "
            "sheet (a column not read, the stations that no row stands for), then a summary line; --format json: "
            "one JSON document. Any error (a text that is not a number where one is needed, a number cell in a text "
            "column, a phone number, PIN or id without the leading 0 or + a spreadsheet dropped, a PIN that is not "
            "4 to 8 digits, an unknown GSM mode, a line break, a character Windows-1252 cannot hold, an id no "
            "station has) is named by its line and column (its cell in a workbook), at most 20 of them, and nothing "
            "is written.",
            with_write_options(
                {{"--add", nullptr,
                  "A row whose id no station has adds a new station; without --add such a row is refused."},
                 {"--force", nullptr,
                  "Takes the sheet's value where the file changed it too since the sheet was listed, and says so for "
                  "each value; without it such a value is a conflict and nothing is written."},
                 {"--remove-missing", nullptr,
                  "Removes the stations that no row stands for, instead of keeping them. With a workbook from list "
                  "--xlsx, a station added to FILE after the sheet was listed is kept; with a CSV file every "
                  "station no row names is removed. Try it with --dry-run first."}}),
            "Exit status: 0 when the file was written or there was nothing to change (with --dry-run: when the "
            "input is valid), 1 when the input holds errors, a cell of the sheet included (each is listed on "
            "standard error, and nothing is written), 2 on a usage error or when a file cannot be read or written "
            "(a damaged or encrypted workbook, a text in UTF-16 without a byte-order mark)."};
}

// The first bytes of a file, enough to tell what it holds; empty when it
// cannot be read (the command says why when it reads the file).
std::string first_bytes(const std::string& name)
{
    std::string reason;
    std::FILE* file =
        file_system::kind_of(name) == file_system::Kind::file ? file_system::open_for_reading(name, reason) : nullptr;
    if (file == nullptr) {
        return "";
    }
    char block[4096];
    const size_t got = std::fread(block, 1, sizeof block, file);
    std::fclose(file);
    return std::string(block, got);
}

bool looks_like_xml(const std::string& head)
{
    const size_t first = head.find_first_not_of(" \t\r\n", head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    return first != std::string::npos && head[first] == '<';
}

// What the first bytes of a file show it to be when it is a sheet: "a
// workbook", "a CSV file" (a line of it names the column id), else "".
std::string sheet_kind(const std::string& head)
{
    if (is_zip_archive(head) || is_compound_file(head)) {
        return "a workbook";
    }
    std::string text, reason;
    std::vector<SheetRow> rows;
    int bad_line = 0;
    if (looks_like_xml(head) || !csv_text_as_utf8(head, text, reason)) {
        return "";
    }
    read_csv_sheet(text, rows, bad_line, reason);  // the rows before a cell cut short by the end of the bytes
    return std::any_of(rows.begin(), rows.end(), names_id_column) ? "a CSV file" : "";
}

// Why a sheet was not read, as the operator reads it: the sheet named when
// the workbook holds several.
std::string fault_text(const SheetFault& fault)
{
    if (fault.listed) {
        return "sheet " + quoted(fault.sheet) + ", which holds the rows as they were listed, is " +
               (fault.reason.empty() ? "damaged" : "damaged: " + fault.reason) + "; list the file again";
    }
    return (fault.sheet.empty() ? "" : "sheet " + quoted(fault.sheet) + ": ") + fault.reason;
}

// Where an error stands, as the operator's spreadsheet names it: a line and
// column of a CSV file, a cell of a workbook ("cell C12, column pin"), with
// its sheet when the workbook has several ("sheet "Stations" cell C12");
// nothing for the sheet as a whole.
std::string error_place(const ImportError& e, const std::string& sheet_name, bool workbook)
{
    if (e.line <= 0) {
        return "";
    }
    if (!workbook) {
        return " line " + std::to_string(e.line) + (e.column.empty() ? "" : ", column " + e.column);
    }
    const std::string sheet = sheet_name.empty() ? "" : " sheet " + quoted(sheet_name);
    if (e.position < 0) {
        return sheet + " row " + std::to_string(e.line);
    }
    return sheet + " cell " + cell_name(e.position, e.line) + ", column " + e.column;
}

void run_import_named(const CommandSpec& spec, const ParsedOptions& options, CommandOutput& output)
{
    if (options.operands.size() != 2) {
        usage_error(spec, std::string(spec.name) + " takes two files, FILE and SHEET", output);
        return;
    }
    if (!write_format_followed(spec, options, output)) {
        return;
    }
    const std::string& file = options.operands[0];
    const std::string& sheet_file = options.operands[1];
    // The files in the wrong order would be refused for what FILE holds, a
    // zero byte or a line of cells, which does not say what went wrong.
    if (looks_like_xml(first_bytes(sheet_file))) {
        const std::string kind = sheet_kind(first_bytes(file));
        if (!kind.empty()) {
            usage_error(spec,
                        file_name_text(file) + " looks like " + kind +
                            ": the settings file comes first: zantor-fleet " + spec.name + " " +
                            file_name_text(sheet_file) + " " + file_name_text(file),
                        output);
            return;
        }
    }
    if (options.has("--output") &&
        !outputs_apart(spec, {{"--output", options.value("--output", "")}}, {sheet_file}, output)) {
        return;
    }
    std::string bytes, error;
    const bool csv_named = std::string(spec.name) == "import-csv";
    if (!read_whole_file(sheet_file.c_str(), bytes, error, csv_named ? "a CSV file" : "a spreadsheet",
                         sheet_file_limit)) {
        report_unreadable(spec, sheet_file, error, output);
        return;
    }
    SheetChoice choice;
    choice.is_header = names_id_column;
    choice.listed_name = listed_sheet_name;
    choice.listed_rows = rows_of_listed_sheet;
    const SheetFormat& format = sheet_format(bytes, sheet_file);
    ImportSheet sheet;
    SheetFault fault;
    if (!format.read(bytes, sheet_file, choice, sheet, fault)) {
        if (fault.refused) {
            report_refused(spec, {file_name_text(sheet_file) + ": " + fault_text(fault)}, output);
        } else {
            report_unreadable(spec, sheet_file, fault_text(fault), output);
        }
        return;
    }
    bytes = std::string();
    FileLock lock;
    myXMLdocument* document = load_to_change(spec, options, file, lock, output);
    if (document == nullptr) {
        return;
    }
    ImportOptions import_options;
    import_options.add = options.has("--add");
    import_options.force = options.has("--force");
    import_options.remove_missing = options.has("--remove-missing");
    import_options.show_secrets = options.has("--show-secrets");
    import_options.file_name = file_name_text(file);
    ChangeLines lines(options);
    const StationChanged said = [&](ChangedStation& changed) { lines.add(changed); };
    const std::string sheet_name = sheet.sheet_name;
    const ImportOutcome outcome = import_rows(*document, std::move(sheet), import_options, said);
    if (!outcome.errors.empty()) {
        std::vector<std::string> errors;
        for (const ImportError& e : outcome.errors) {
            errors.push_back(file_name_text(sheet_file) + error_place(e, sheet_name, format.cells_named) + ": " +
                             e.reason);
        }
        lines.refuse(spec, errors, output);
        return;
    }
    lines.say_first(outcome.notes);
    for (const RemovedStation& removed : outcome.removed) {
        lines.add_removed(removed.id, removed.description);
    }
    for (const std::string& line : outcome.closing) {
        lines.say(line);
    }
    auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    const int removed = static_cast<int>(outcome.removed.size());
    finish_change(
        spec, options,
        {file, *document, outcome.stations,
         count(outcome.changed, "station changed", "stations changed") + ", " + std::to_string(outcome.added) +
             " added" + (removed > 0 ? ", " + std::to_string(removed) + " removed" : ""),
         CheckOptions(), removed},
        lines, output);
}

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

}  // namespace

Command import_command()
{
    return {import_spec(), run_import};
}

Command import_csv_command()
{
    return {import_csv_spec(), run_import_csv};
}
