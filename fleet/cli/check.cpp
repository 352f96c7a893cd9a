// zantor-fleet check FILE... [--format text|csv|json]
#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "doc/cp1252.h"
#include "doc/utf8.h"
#include "fleet/check/rules.h"
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/formats/csv_writer.h"
#include "fleet/formats/json_writer.h"
#include "fleet/formats/table_writer.h"
#include "fleet/station/stations.h"

namespace {

struct CheckedFile {
    std::string name;  // as given
    CheckReport report;
    size_t hidden_warnings = 0;  // findings the filters did not show
    size_t hidden_notes = 0;
};

std::string plural(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// `filtered_to` says what the filters let through.
std::string file_summary(const CheckedFile& file, const std::string& filtered_to)
{
    const std::string name = file_name_text(file.name);
    if (file.report.refused) {
        return name + ": not read\n";
    }
    std::map<Severity, size_t> counts;
    for (const Finding& finding : file.report.findings) {
        ++counts[finding.severity];
    }
    // A filter that hides findings says so: "no findings" alone would tell
    // an operator who asked for errors that the file is clean.
    std::string hidden;
    if (file.hidden_warnings != 0) {
        hidden += plural(file.hidden_warnings, "warning", "warnings");
    }
    if (file.hidden_notes != 0) {
        hidden += (hidden.empty() ? "" : ", ") + plural(file.hidden_notes, "note", "notes");
    }
    hidden = hidden.empty() ? hidden : " (" + hidden + " not shown)";
    std::string summary = name + ": " + plural(file.report.stations, "station", "stations") + ", ";
    if (file.report.findings.empty()) {
        return summary + "no findings" + (hidden.empty() ? "" : filtered_to + hidden) + "\n";
    }
    summary += plural(counts[Severity::warning], "warning", "warnings") + ", " +
               plural(counts[Severity::note], "note", "notes") + hidden + "\n";
    // A fleet of thousands gives thousands of lines: the count of each rule
    // says where to look first, and --rule shows those alone.
    std::map<std::string, size_t> by_rule;
    for (const Finding& finding : file.report.findings) {
        ++by_rule[finding.rule];
    }
    std::string rules;
    for (int rule = 0; rule < check_rule_count; ++rule) {
        auto found = by_rule.find(check_rule_names[rule]);
        if (found != by_rule.end()) {
            rules +=
                std::string(rules.empty() ? "" : ", ") + check_rule_names[rule] + " " + std::to_string(found->second);
        }
    }
    return summary + (rules.empty() ? "" : name + ": by rule: " + rules + "\n");
}

std::string rule_names()
{
    std::string names;
    for (int rule = 0; rule < check_rule_count; ++rule) {
        names += std::string(rule == 0 ? "" : ", ") + check_rule_names[rule];
    }
    return names;
}

// What the filters let through; an empty list lets everything through.
struct Filters {
    Severity least = Severity::note;
    std::vector<std::string> rules;
    std::vector<std::string> stations;  // document text

    bool pass(const Finding& finding) const
    {
        auto listed = [](const std::vector<std::string>& list, const std::string& item) {
            return list.empty() || std::find(list.begin(), list.end(), item) != list.end();
        };
        return static_cast<int>(finding.severity) <= static_cast<int>(least) && listed(rules, finding.rule) &&
               listed(stations, finding.station);
    }
};

// " at severity error of rule pin for stations 12, 14": what the filters
// let through, as the summary of a file they hid findings of says it.
std::string filtered_to(const Filters& filters)
{
    auto listed = [](const char* one, const char* many, const std::vector<std::string>& items) {
        std::string text = std::string(" ") + (items.size() == 1 ? one : many) + " ";
        for (size_t i = 0; i < items.size(); ++i) {
            text += (i == 0 ? "" : ", ") + utf8_from_cp1252(items[i]);
        }
        return text;
    };
    std::string text;
    if (filters.least != Severity::note) {
        text += std::string(" at severity ") + severity_name(filters.least);
    }
    if (!filters.rules.empty()) {
        text += listed("of rule", "of rules", filters.rules);
    }
    if (!filters.stations.empty()) {
        text += listed("for station", "for stations", filters.stations);
    }
    return text;
}

// One line a finding, the station column as wide as the file's widest.
std::string text_report(const std::vector<CheckedFile>& files, const Filters& filters)
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
        out.append(file_summary(file, filtered_to(filters)));
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

const CommandSpec& check_spec()
{
    static const std::string rule_help =
        "Shows the findings of these rules only; may be given again. The text summary counts the findings of each "
        "rule. The rules: " +
        rule_names() + ".";
    static const CommandSpec spec = {
        "check",
        "FILE... [--format text|csv|json] [--severity S] [--rule R[,R...]] [--station ID[,ID...]] [--country-code "
        "CC]",
        "report what in settings files needs an operator's attention",
        "Reads each settings file as Zantor Editor does and reports its findings, one a line, grouped by file and by "
        "station, each with its severity, the station's id (or 'top level'), where it is (a path such as "
        "STATION[id=12]/CONFIGURATION[value=0]/GSM_DURATION) and one sentence. Errors: the file is refused, with the "
        "reason. Warnings: a file saved as UTF-8 (a byte-order mark, or UTF-8 text) and character references above "
        "255, "
        "which the stations read as other characters; ids and phone numbers that stations share (numbers in any "
        "spelling); values of one line that hold a line break, and host, URL, user and access point names with "
        "blanks at their ends; an id the editor would show and store otherwise; "
        "a station pin that differs from its PIN_CODE; a PIN that is not 4 to 8 digits; phone and SMS numbers that are "
        "not digits with an optional leading '+'; SMS texts longer than one SMS; timings that are not decimal numbers "
        "or not whole minutes (hours for GSM_INTERVAL); GPRS PUSH without an HTTP host or an APN name; thresholds that "
        "are not decimal numbers; sequences that OK in the sequence dialog would rewrite, with what they would lose. "
        "Notes: what the editor adds when it opens a station or the file, and elements it does not use. Never "
        "writes a file.",
        {{"--format", "text|csv|json",
          "text (the default): the findings of each file after its name, then a summary line per file, which "
          "counts the findings that --severity, --rule and --station left out ('no findings at severity error (3 "
          "warnings, 2 notes not shown)'). csv: a header row file;severity;station;where;message, then one row a "
          "finding, in UTF-8 with a byte-order mark. json: "
          "an array of objects with exactly the keys file, severity, station, where and message."},
         {"--severity", "error|warning|note",
          "Shows the findings of this severity and the graver ones only: warning leaves the notes out."},
         {"--rule", "R[,R...]", rule_help.c_str(), true},
         {"--station", "ID[,ID...]",
          "Shows the findings of these stations only; may be given again. An id that no station of the files has "
          "is a usage error.",
          true},
         {"--country-code", "CC",
          "The country's calling code, such as 33: a national phone number starting with 0 then equals its +33 "
          "form when shared numbers are looked for. Numbers are always compared without spaces, dots and dashes, "
          "with 00 read as +."}},
        "Exit status: 2 when a file cannot be read (the reason is also on standard error) or on a usage error, "
        "else 1 when a warning is shown, else 0 (notes alone give 0)."};
    return spec;
}

void run_check(const ParsedOptions& options, CommandOutput& output)
{
    const std::string format = options.value("--format", "text");
    if (!usage_followed(check_spec(),
                        {format_rule(format, {"text", "csv", "json"}), {options.operands.empty(), "no FILE given"}},
                        output)) {
        return;
    }
    Filters filters;
    const std::string severity = options.value("--severity", "note");
    const Severity severities[] = {Severity::error, Severity::warning, Severity::note};
    const auto named = std::find_if(std::begin(severities), std::end(severities),
                                    [&](Severity s) { return severity == severity_name(s); });
    if (named == std::end(severities)) {
        usage_error(check_spec(), "unknown severity '" + severity + "' (error, warning or note)", output);
        return;
    }
    filters.least = *named;
    filters.rules = comma_list(options.value("--rule", ""));
    for (const std::string& rule : filters.rules) {
        if (std::find(check_rule_names, check_rule_names + check_rule_count, rule) ==
            check_rule_names + check_rule_count) {
            usage_error(check_spec(), "unknown rule '" + rule + "'; the rules are " + rule_names(), output);
            return;
        }
    }
    for (const std::string& station : comma_list(options.value("--station", ""))) {
        std::string id;
        filters.stations.push_back(cp1252_from_utf8(station, id) ? id : station);
    }
    CheckOptions check_options;
    check_options.country_code = options.value("--country-code", "");
    if (!check_options.country_code.empty() && !all_digits(check_options.country_code)) {
        usage_error(check_spec(), "the country code is digits, such as 33", output);
        return;
    }
    std::vector<CheckedFile> files;
    // The ids of --station that no station of the files read so far has.
    std::set<std::string> unmatched(filters.stations.begin(), filters.stations.end());
    bool warned = false, refused = false;
    output.documents.emplace_back();
    for (const std::string& name : options.operands) {
        output.documents[0].reset(new myXMLdocument(nullptr));  // the previous file's goes
        files.push_back(CheckedFile{name, check_settings_file(*output.documents[0], name.c_str(), check_options)});
        CheckReport& report = files.back().report;
        if (report.refused) {
            report_unreadable(check_spec(), name, report.reason, output);
            refused = true;
        }
        std::vector<Finding> shown;
        for (Finding& finding : report.findings) {
            if (report.refused || filters.pass(finding)) {
                warned = warned || finding.severity == Severity::warning;
                shown.push_back(std::move(finding));
            } else {
                ++(finding.severity == Severity::warning ? files.back().hidden_warnings : files.back().hidden_notes);
            }
        }
        report.findings = std::move(shown);
        if (!report.refused) {
            int position = 0;
            for (const TiXmlElement* station : listed_stations(*output.documents[0])) {
                unmatched.erase(station_name(station, ++position));
            }
        }
    }
    // A mistyped id would otherwise read as a station without findings.
    if (!refused && !unmatched.empty()) {
        const bool several = unmatched.size() > 1;
        std::string ids;
        for (const std::string& id : filters.stations) {
            if (unmatched.erase(id) != 0) {
                ids += (ids.empty() ? "" : ", ") + utf8_from_cp1252(id);
            }
        }
        usage_error(check_spec(), (several ? "no station has the ids " : "no station has the id ") + ids, output);
        return;
    }
    output.out = format == "csv"    ? csv_report(files)
                 : format == "json" ? json_report(files)
                                    : text_report(files, filters);
    output.status = refused ? exit_trouble : warned ? exit_findings : exit_nothing_to_report;
}

}  // namespace

Command check_command()
{
    return {check_spec(), run_check};
}
