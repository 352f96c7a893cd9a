// zantor-fleet diff OLD NEW [--format text|json] [--show-secrets]
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/diff/file_diff.h"

namespace {

const CommandSpec& diff_spec()
{
    static const CommandSpec spec = {
        "diff",
        "OLD NEW [--format text|json] [--show-secrets]",
        "what changed between two settings files",
        "Compares two settings files as Zantor Editor reads them and prints, in this order: the changes of the top "
        "level (paths, ports, other attributes and elements); the stations added and removed; then, for the "
        "stations found in both, one line per changed value, named as the station dialog labels it, with both "
        "values, for example '12 \"Pump house\": GSM power On duration 10 min -> 15 min'. Stations are matched by "
        "their stored id; stations that share an id are matched in document order, and a note says so. Sequences "
        "are compared as choices: channels measured or not, thresholds, the end-of-life check, the SMS and the "
        "output changes; a sequence whose commands differ while its choices are equal shows as 'same choices, "
        "different commands'. Whatever else differs in a station's record is named by its path. Files that differ "
        "only in layout (line ends, indentation, quoting, the order of attributes) hold the same settings. Never "
        "writes a file.",
        {{"--format", "text|json",
          "text (the default): one change a line, then a summary line; nothing when the settings are the same. json: "
          "an array of objects with the keys kind (top level, added, removed, changed or note), station, "
          "description, what, old and new, null where they do not apply."},
         {"--show-secrets", nullptr,
          "Shows PINs and passwords as they are instead of ****; the PIN is the one the station dialog shows "
          "(PIN_CODE, else the station's pin)."}},
        "Exit status: 0 when both files hold the same settings, 1 when they differ, 2 when a file cannot be read "
        "(the reason is on standard error) or on a usage error."};
    return spec;
}

void run_diff(const ParsedOptions& options, CommandOutput& output)
{
    const std::string format = options.value("--format", "text");
    if (!usage_followed(diff_spec(),
                        {format_rule(format, {"text", "json"}),
                         {options.operands.size() != 2, "diff takes two files, OLD and NEW"}},
                        output)) {
        return;
    }
    myXMLdocument* documents[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        documents[i] = load_settings(diff_spec(), options.operands[i], output);
    }
    if (documents[0] == nullptr || documents[1] == nullptr) {
        return;
    }
    const DiffReport report = diff_documents(*documents[0], *documents[1], options.has("--show-secrets"));
    if (format == "json") {
        output.out = changes_as_json(report.changes);
    } else if (!report.same()) {
        for (const Change& change : report.changes) {
            append_change_line(output.out, change);
            output.out += '\n';
        }
        output.out += diff_summary(report);
    }
    output.status = report.same() ? exit_nothing_to_report : exit_findings;
}

}  // namespace

Command diff_command()
{
    return {diff_spec(), run_diff};
}
