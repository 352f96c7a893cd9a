// zantor-fleet check FILE... [--format text|csv|json]
#include <map>

#include "doc/cp1252.h"
#include "fleet/check_rules.h"
#include "fleet/fleet_commands.h"
#include "fleet/output_csv.h"
#include "fleet/output_json.h"
#include "fleet/output_table.h"

namespace {

struct CheckedFile {
    std::string name;  // as given
    CheckReport report;
};

std::string plural(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string file_summary(const CheckedFile& file)
{
    const std::string name = file_name_text(file.name);
    if (file.report.refused) {
        return name + ": not read\n";
    }
    std::map<Severity, size_t> counts;
    for (const Finding& finding : file.report.findings) {
        ++counts[finding.severity];
    }
    std::string summary = name + ": " + plural(file.report.stations, "station", "stations") + ", ";
    if (file.report.findings.empty()) {
        return summary + "no findings\n";
    }
    return summary + plural(counts[Severity::warning], "warning", "warnings") + ", " +
           plural(counts[Severity::note], "note", "notes") + "\n";
}

// One line a finding, the station column as wide as the file's widest.
std::string text_report(const std::vector<CheckedFile>& files)
{
    std::string out;
    for (const CheckedFile& file : files) {
        const std::vector<Finding>& findings = file.report.findings;
        if (!findings.empty()) {
            out.append(file_name_text(file.name)).append("\n");
        }
        std::vector<std::string> stations;
        size_t width = 0;
        for (const Finding& finding : findings) {
            stations.push_back(utf8_from_cp1252(finding.station));
            width = std::max(width, display_width(stations.back()));
        }
        for (size_t i = 0; i < findings.size(); ++i) {
            const char* severity = severity_name(findings[i].severity);
            out.append("  ").append(severity).append(9 - std::string(severity).size(), ' ');
            out.append(stations[i]).append(width - display_width(stations[i]) + 2, ' ');
            if (!findings[i].where.empty()) {
                out.append(utf8_from_cp1252(findings[i].where)).append(": ");
            }
            out.append(utf8_from_cp1252(findings[i].message)).append("\n");
        }
        out.append(file_summary(file));
    }
    return out;
}

std::vector<std::string> finding_cells(const CheckedFile& file, const Finding& finding)
{
    return {file_name_text(file.name), severity_name(finding.severity), utf8_from_cp1252(finding.station),
            utf8_from_cp1252(finding.where), utf8_from_cp1252(finding.message)};
}

const char* const columns[] = {"file", "severity", "station", "where", "message"};

std::string csv_report(const std::vector<CheckedFile>& files)
{
    std::string out =
        utf8_byte_order_mark + csv_record(std::vector<std::string>(std::begin(columns), std::end(columns)), ';');
    for (const CheckedFile& file : files) {
        for (const Finding& finding : file.report.findings) {
            out += csv_record(finding_cells(file, finding), ';');
        }
    }
    return out;
}

std::string json_report(const std::vector<CheckedFile>& files)
{
    std::vector<std::string> objects;
    for (const CheckedFile& file : files) {
        for (const Finding& finding : file.report.findings) {
            const std::vector<std::string> cells = finding_cells(file, finding);
            std::vector<std::pair<const char*, JsonValue>> members;
            for (size_t i = 0; i < cells.size(); ++i) {
                members.emplace_back(columns[i], JsonValue::of(cells[i]));
            }
            objects.push_back(json_object(members));
        }
    }
    return json_array(objects);
}

}  // namespace

const CommandSpec& check_spec()
{
    static const CommandSpec spec = {
        "check",
        "FILE... [--format text|csv|json]",
        "report what in settings files needs an operator's attention",
        "Reads each settings file as Zantor Editor does and reports its findings, one a line, grouped by file and by "
        "station, each with its severity, the station's id (or 'top level'), where it is (a path such as "
        "STATION[id=12]/CONFIGURATION[value=0]/GSM_DURATION) and one sentence. Errors: the file is refused, with the "
        "reason. Warnings: ids and phone numbers that stations share; an id the editor would show and store otherwise; "
        "a station pin that differs from its PIN_CODE; a PIN that is not 4 to 8 digits; phone and SMS numbers that are "
        "not digits with an optional leading '+'; SMS texts longer than one SMS; timings that are not decimal numbers "
        "or not whole minutes (hours for GSM_INTERVAL); GPRS PUSH without an HTTP host or an APN name; thresholds that "
        "are not decimal numbers; sequences that OK in the sequence dialog would rewrite, with what they would lose. "
        "Notes: what the editor adds when it opens a station or the file, and elements it does not use. Never "
        "writes a file.",
        {{"--format", "text|csv|json",
          "text (the default): the findings of each file after its name, then a summary line per file. csv: a header "
          "row file;severity;station;where;message, then one row a finding, in UTF-8 with a byte-order mark. json: "
          "an array of objects with exactly the keys file, severity, station, where and message."}},
        "Exit status: 2 when a file cannot be read (the reason is also on standard error) or on a usage error, "
        "else 1 when there is a warning, else 0 (notes alone give 0)."};
    return spec;
}

void run_check(const ParsedOptions& options, CommandOutput& output)
{
    const std::string format = options.value("--format", "text");
    if (format != "text" && format != "csv" && format != "json") {
        usage_error(check_spec(), "unknown format '" + format + "' (text, csv or json)", output);
        return;
    }
    if (options.operands.empty()) {
        usage_error(check_spec(), "no FILE given", output);
        return;
    }
    std::vector<CheckedFile> files;
    bool warned = false, refused = false;
    output.documents.emplace_back();
    for (const std::string& name : options.operands) {
        output.documents[0].reset(new myXMLdocument(nullptr));  // the previous file's goes
        files.push_back(CheckedFile{name, check_settings_file(*output.documents[0], name.c_str())});
        const CheckReport& report = files.back().report;
        if (report.refused) {
            report_unreadable(check_spec(), name, report.reason, output);
            refused = true;
        }
        for (const Finding& finding : report.findings) {
            warned = warned || finding.severity == Severity::warning;
        }
    }
    output.out = format == "csv" ? csv_report(files) : format == "json" ? json_report(files) : text_report(files);
    output.status = refused ? exit_trouble : warned ? exit_findings : exit_nothing_to_report;
}
