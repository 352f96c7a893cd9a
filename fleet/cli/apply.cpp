// zantor-fleet apply FILE --from ID (--to ID[,ID...] | --all) --parts P[,P...]
#include "fleet/change/apply.h"

#include <algorithm>
#include <iterator>

#include "doc/cp1252.h"
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/cli/write.h"

namespace {

// An id as the settings file holds it: the command line may be UTF-8.
std::string document_id(const std::string& typed)
{
    std::string id;
    return is_valid_utf8(typed) && cp1252_from_utf8(typed, id) ? id : typed;
}

const CommandSpec& apply_spec()
{
    static const CommandSpec spec = {
        "apply",
        "FILE --from ID (--to ID[,ID...] | --all) --parts P[,P...] [--dry-run] [--output OUT] [--backup] "
        "[--show-secrets] [--format text|json] [--each] [--strict]",
        "copies parts of one station's settings to other stations",
        "Copies the named parts of the station with the id given by --from to the stations named by --to, or to "
        "every other station with --all. The parts: gsm (the GSM mode's three switches, the HTTP server, URL, user "
        "name and password, the access point's name, user name and password), sms (the SMS number and both texts), "
        "timing (both acquisition intervals, the GSM interval and both durations), slow, fast and health (a whole "
        "sequence each), sequences (all three), all (gsm,sms,timing,sequences). Targets keep their id, phone "
        "number, PIN, description, the other switches and device settings, and every part not named. Source and "
        "targets are read completed with their defaults, as the station dialog opens them; a target that already "
        "holds the parts is left as it stands. Prints each kind of change once, with the number of stations it changed "
        "and the first of them, then what check finds on the stations changed, then a summary line; --each prints "
        "every change on a line of its own, --format json one JSON document. An unknown id (or one held by "
        "two stations), a source among the targets or an unknown part is refused, and nothing is written.",
        with_write_options(
            {{"--from", "ID", "The station whose settings are copied."},
             {"--to", "ID[,ID...]", "The stations that receive them; may be given again.", true},
             {"--all", nullptr, "Every station but the source receives them."},
             {"--parts", "P[,P...]",
              "What is copied: gsm, sms, timing, slow, fast, health, sequences or all; may be given again.", true}}),
        write_exit_status};
    return spec;
}

void run_apply(const ParsedOptions& options, CommandOutput& output)
{
    const CommandSpec& spec = apply_spec();
    if (!usage_followed(
            spec,
            {{options.operands.size() != 1, options.operands.empty() ? "no FILE given" : "apply takes one FILE"},
             {!options.has("--from") || !options.has("--parts"),
              options.has("--from") ? "--parts is needed" : "--from is needed"},
             {options.has("--to") == options.has("--all"), "give either --to or --all"}},
            output) ||
        !write_format_followed(spec, options, output)) {
        return;
    }
    const std::string& file = options.operands[0];
    FileLock lock;
    myXMLdocument* document = load_to_change(spec, options, file, lock, output);
    if (document == nullptr) {
        return;
    }
    ChangeLines lines(options);
    unsigned parts = 0;
    std::string unknown;
    if (!parse_apply_parts(options.value("--parts", ""), parts, unknown)) {
        lines.refuse(spec, {"unknown part '" + unknown + "'; the parts are " + apply_part_names()}, output);
        return;
    }
    std::vector<std::string> targets;
    for (const std::string& id : comma_list(options.value("--to", ""))) {
        targets.push_back(document_id(id));
    }
    const ApplyOutcome outcome =
        apply_parts(*document, document_id(options.value("--from", "")), targets, options.has("--all"), parts,
                    [&](ChangedStation& changed) { lines.add(changed); });
    if (!outcome.errors.empty()) {
        std::vector<std::string> errors;
        for (const std::string& error : outcome.errors) {
            errors.push_back(utf8_from_cp1252(error));
        }
        lines.refuse(spec, errors, output);
        return;
    }
    const size_t n = outcome.stations.size();
    CheckOptions check_options;
    std::copy(std::begin(outcome.copied_sequences), std::end(outcome.copied_sequences), check_options.known_sequences);
    finish_change(spec, options,
                  {file, *document, outcome.stations,
                   std::to_string(n) + (n == 1 ? " station changed" : " stations changed"), check_options},
                  lines, output);
}

}  // namespace

Command apply_command()
{
    return {apply_spec(), run_apply};
}
