#include "fleet/cli/write.h"

#include <algorithm>

#include "doc/cp1252.h"
#include "doc/file_replace.h"
#include "doc/file_state.h"
#include "doc/file_system.h"
#include "doc/xml_load.h"
#include "fleet/check/rules.h"
#include "fleet/cli/commands.h"
#include "fleet/cli/files.h"
#include "fleet/diff/file_diff.h"
#include "fleet/diff/station_diff.h"
#include "fleet/formats/json_writer.h"
#include "fleet/station/text.h"

const char* const write_exit_status =
    "Exit status: 0 when the file was written or there was nothing to change (with --dry-run: when the input is "
    "valid), 1 when the input holds errors or, with --strict, check warns (each is listed on standard error, and "
    "nothing is written), 2 on a usage error (an unknown --format among them) or when a file cannot be read or "
    "written, with nothing on standard output.";

std::vector<OptionSpec> with_write_options(std::vector<OptionSpec> options)
{
    options.insert(
        options.end(),
        {{"--dry-run", nullptr, "Prints what would change, the same lines as without it, and writes nothing."},
         {"--output", "OUT", "Writes the result to OUT and leaves FILE as it was."},
         {"--show-secrets", nullptr, "Shows PINs and passwords in the changes instead of ****."},
         {"--each", nullptr,
          "Prints every change on a line of its own ('12 \"Pump house\": GSM power On duration 10 min -> 15 "
          "min') and every finding of check ('check: warning 12 STATION[id=12]/...: ...'), instead of the "
          "summary."},
         {"--format", "text|json",
          "text (the default): one line per kind of change, with the number of stations and the first of them "
          "('GSM power On duration 10 min -> 15 min: 500 stations (1002, 1003, 1005, \xE2\x80\xA6 497 more)'; the "
          "old and new values where every station shares them), then the findings of check on the stations "
          "changed, one line per rule and severity, then the notes on the input, then a summary line. json: one "
          "document, an object with the members changes (as zantor-fleet diff --format json gives them), findings "
          "(as check --format json gives them, with their rule), notes, errors (why the input was refused, with status "
          "1), "
          "summary (the summary line), dry_run, written (true or false), output (the file written, or null) and "
          "backup (the backup kept, or null)."},
         {"--strict", nullptr,
          "Refuses the change, and writes nothing, when check warns about a station it changed or added."},
         {"--backup", nullptr,
          "First keeps the file that is replaced, byte for byte and with its permissions, as the same name with "
          "the date and time and .bak added (fleet.xml.20261208-143005.bak), written the same safe way; an earlier "
          "backup is never replaced."}});
    return options;
}

bool write_format_followed(const CommandSpec& command, const ParsedOptions& options, CommandOutput& output)
{
    return usage_followed(command, {format_rule(options.value("--format", "text"), {"text", "json"})}, output);
}

void report_refused(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output)
{
    const std::string prefix = std::string("zantor-fleet ") + command.name + ": ";
    // A sheet of the wrong fleet is refused row by row: the first errors say
    // what is wrong, ten thousand more would only hide them.
    for (size_t i = 0; i < errors.size() && i < max_errors_shown; ++i) {
        output.err += prefix + errors[i] + "\n";
    }
    if (errors.size() > max_errors_shown) {
        output.err += prefix + "... and " + std::to_string(errors.size() - max_errors_shown) + " more\n";
    }
    output.err +=
        prefix + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") + ", nothing written\n";
    output.status = exit_findings;
}

namespace {

// The stations a line of the summary names; the count says the rest.
const size_t ids_shown = 3;

// The changes of one station, without its id and description. What the
// station dialog adds to an old record is counted on one line, the last:
// eleven lines of defaults would hide the change asked for.
std::vector<Change> own_changes(const ChangedStation& changed, bool show_secrets, const NewerChoices& known)
{
    std::vector<Change> changes =
        changed.sequences_alone()
            ? replaced_sequence_changes(changed.replaced_sequences, changed.station, known)
            : station_changes(changed.original.get(), changed.station, show_secrets, known, changed.sequences_stayed);
    int completed = 0;
    const auto kept = std::remove_if(changes.begin(), changes.end(), [&](const Change& change) {
        const bool added_element = !change.has_values && change.what.size() > 6 &&
                                   change.what.compare(change.what.size() - 6, 6, " added") == 0;
        const bool added = added_element || (change.has_values && change.old_value.absent);
        completed += added ? 1 : 0;
        return added;
    });
    changes.erase(kept, changes.end());
    if (completed > 0) {
        changes.push_back(Change{ChangeKind::changed, "", "",
                                 "completed: " + std::to_string(completed) +
                                     (completed == 1 ? " setting" : " settings") + " added with their defaults",
                                 false, ShownValue(), ShownValue()});
    }
    return changes;
}

// Keeps the file that `target` names as TARGET.YYYYMMDD-HHMMSS.bak, with its
// permissions, unless there is none; `kept` names the backup (UTF-8). An earlier backup is never replaced:
// a second one in the same second takes the next free name.
bool keep_backup(const CommandSpec& command, const std::string& target, std::string& kept, CommandOutput& output)
{
    if (file_system::kind_of(target) == file_system::Kind::missing) {
        return true;
    }
    const std::string stamp = file_system::local_time("%Y%m%d-%H%M%S");
    std::string bytes, error;
    if (!read_whole_file(target.c_str(), bytes, error)) {
        report_unreadable(command, target, error + "; no backup made, nothing written", output);
        return false;
    }
    // A new name each time, never an earlier backup's, nor the file that a
    // link planted at the name points to.
    std::string backup = target + "." + stamp + ".bak";
    file_system::Created made = file_system::Created::name_taken;
    for (int n = 2; made == file_system::Created::name_taken && n < 1000; ++n) {
        made = write_new_file(backup.c_str(), bytes, error, target.c_str());
        if (made == file_system::Created::name_taken) {
            backup = target + "." + stamp + "-" + std::to_string(n) + ".bak";
        }
    }
    if (made != file_system::Created::yes) {
        output.err += std::string("zantor-fleet ") + command.name + ": cannot keep the backup " +
                      file_name_text(backup) + ": " + error + "; nothing written\n";
        output.status = exit_trouble;
        return false;
    }
    kept = file_name_text(backup);
    return true;
}

}  // namespace

ChangeLines::ChangeLines(const ParsedOptions& options)
    : show_secrets(options.has("--show-secrets")),
      as_json(options.value("--format", "text") == std::string("json")),
      each(options.has("--each")),
      dry_run(options.has("--dry-run"))
{
}

void ChangeLines::add(ChangedStation& changed)
{
    const std::string id = xml_get_attr_text(changed.station, "id");
    const std::string description = xml_get_attr_text(changed.station, "description");
    std::vector<Change> station_lines;
    if (changed.original == nullptr && !changed.sequences_alone()) {
        station_lines.push_back(
            Change{ChangeKind::added, id, description, changed.added_detail, false, ShownValue(), ShownValue()});
    } else {
        NewerChoices known;
        for (int role = 0; role < sequence_role_count; ++role) {
            if (const TiXmlElement* copied = changed.copied_sequences[role]) {
                auto found = copied_choices.find(copied);
                if (found == copied_choices.end()) {
                    found = copied_choices.emplace(copied, SequenceChoices()).first;
                    read_sequence(copied, found->second);
                }
                known.choices[role] = &found->second;
            }
        }
        station_lines = own_changes(changed, show_secrets, known);
    }
    changed.original.reset();  // the replaced sequences alone go back to the command
    if (as_json) {
        for (Change& change : station_lines) {
            change.station = id;
            change.description = description;
            changes.push_back(std::move(change));
        }
        return;
    }
    if (!each) {
        ++station_serial;
        for (const Change& change : station_lines) {
            group(id, change);
        }
        return;
    }
    // Every line of a changed station starts the same: made once.
    std::string start;
    append_station_label(start, id, description);
    start += ": ";
    const size_t piece_size = 1 << 20;
    for (const Change& change : station_lines) {
        if (pieces.empty() || pieces.back().size() >= piece_size) {
            pieces.emplace_back();
            pieces.back().reserve(piece_size + 4096);
        }
        std::string& piece = pieces.back();
        if (change.kind == ChangeKind::changed) {
            piece += start;
            append_change_text(piece, change);
        } else {
            append_change_line(piece, change);
        }
        piece += '\n';
    }
}

void ChangeLines::group(const std::string& id, const Change& change)
{
    // The kind leads the key: a setting named "added" is no station added.
    std::string key(1, static_cast<char>('0' + static_cast<int>(change.kind)));
    key += change.what;
    const auto found = group_index.emplace(std::move(key), groups.size());
    if (found.second) {
        groups.emplace_back();
        Group& made = groups.back();
        made.kind = change.kind;
        made.what = change.what;
        made.has_values = change.has_values;
        made.old_value = change.old_value;
        made.new_value = change.new_value;
    }
    Group& g = groups[found.first->second];
    auto same = [](const ShownValue& a, const ShownValue& b) {
        return a.absent == b.absent && a.quoted == b.quoted && a.text == b.text;
    };
    g.same_old = g.same_old && same(g.old_value, change.old_value);
    g.same_new = g.same_new && same(g.new_value, change.new_value);
    if (g.last_station == station_serial) {
        return;  // two changes of one kind count the station once
    }
    g.last_station = station_serial;
    ++g.stations;
    if (g.first.size() < ids_shown) {
        g.first.push_back(utf8_from_cp1252(visible_text(id)));
    }
}

void ChangeLines::add_removed(const std::string& id, const std::string& description)
{
    const Change removed{ChangeKind::removed, id, description, "", false, ShownValue(), ShownValue()};
    if (as_json) {
        changes.push_back(removed);
    } else if (!each) {
        // The import's own note names the stations removed with --each.
        ++station_serial;
        group(id, removed);
    }
}

void ChangeLines::say_first(const std::vector<std::string>& said)
{
    if (!each || as_json) {
        notes_first.insert(notes_first.end(), said.begin(), said.end());
        return;
    }
    std::string text;
    for (const std::string& line : said) {
        text += line + "\n";
    }
    if (!text.empty()) {
        pieces.insert(pieces.begin(), text);
    }
}

void ChangeLines::say(const std::string& line)
{
    if (!each || as_json) {
        notes.push_back(line);
        return;
    }
    if (pieces.empty()) {
        pieces.emplace_back();
    }
    pieces.back() += line + "\n";
}

void ChangeLines::add_findings(const std::string& file, const std::vector<Finding>& findings)
{
    for (const Finding& finding : findings) {
        if (as_json) {
            finding_objects.push_back(json_object({{"file", JsonValue::of(file_name_text(file))},
                                                   {"severity", JsonValue::of(severity_name(finding.severity))},
                                                   {"station", JsonValue::of(utf8_from_cp1252(finding.station))},
                                                   {"where", JsonValue::of(utf8_from_cp1252(finding.where))},
                                                   {"message", JsonValue::of(utf8_from_cp1252(finding.message))},
                                                   {"rule", JsonValue::of(finding.rule)}}));
            continue;
        }
        if (each) {
            findings_text += std::string("check: ") + severity_name(finding.severity) + " " +
                             utf8_from_cp1252(finding.station) + " " + utf8_from_cp1252(finding.where) + ": " +
                             utf8_from_cp1252(finding.message) + "\n";
            continue;
        }
        auto g = std::find_if(finding_groups.begin(), finding_groups.end(), [&](const FindingGroup& group) {
            return group.severity == finding.severity && group.rule == finding.rule;
        });
        if (g == finding_groups.end()) {
            finding_groups.emplace_back();
            g = finding_groups.end() - 1;
            g->severity = finding.severity;
            g->rule = finding.rule;
            g->message = finding.message;
        }
        g->same_message = g->same_message && g->message == finding.message;
        ++g->findings;
        // A station's findings come together: one of its own is counted once.
        if (g->stations == 0 || g->last_station != finding.station) {
            g->last_station = finding.station;
            ++g->stations;
            if (g->first.size() < ids_shown) {
                g->first.push_back(utf8_from_cp1252(finding.station));
            }
        }
    }
    // As check counts them: the graver first, then in the order of the rules.
    auto rank = [](const FindingGroup& g) {
        const int rule = static_cast<int>(std::find(check_rule_names, check_rule_names + check_rule_count, g.rule) -
                                          check_rule_names);
        return static_cast<int>(g.severity) * (check_rule_count + 1) + rule;
    };
    std::stable_sort(finding_groups.begin(), finding_groups.end(),
                     [&](const FindingGroup& a, const FindingGroup& b) { return rank(a) < rank(b); });
}

void ChangeLines::refuse(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output)
{
    report_refused(command, errors, output);
    if (as_json) {
        changes.clear();  // nothing changed: the errors say what would have
        Ending ending;
        ending.dry_run = dry_run;
        ending.summary =
            std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") + ", nothing written";
        output.out = json_document(errors, ending);
    }
    let_go();
}

std::string ChangeLines::json_document(const std::vector<std::string>& errors, const Ending& ending) const
{
    auto array = [](const std::vector<std::string>& items) {
        std::string text = json_array(items);
        text.pop_back();  // its line break
        return text;
    };
    auto texts = [&](const std::vector<std::string>& lines) {
        std::vector<std::string> strings;
        for (const std::string& line : lines) {
            strings.push_back(json_string(line));
        }
        return array(strings);
    };
    std::vector<std::string> all_notes = notes_first;
    all_notes.insert(all_notes.end(), notes.begin(), notes.end());
    std::string changes_json = changes_as_json(changes);
    changes_json.pop_back();
    auto text_or_null = [](const std::string& text) { return text.empty() ? "null" : json_string(text); };
    return "{\n\"changes\": " + changes_json + ",\n\"findings\": " + array(finding_objects) +
           ",\n\"notes\": " + texts(all_notes) + ",\n\"errors\": " + texts(errors) +
           ",\n\"summary\": " + json_string(ending.summary) + ",\n\"dry_run\": " + (ending.dry_run ? "true" : "false") +
           ",\n\"written\": " + (ending.written_to.empty() ? "false" : "true") +
           ",\n\"output\": " + text_or_null(ending.written_to) + ",\n\"backup\": " + text_or_null(ending.backup) +
           "\n}\n";
}

void ChangeLines::move_to(CommandOutput& output, const Ending& ending)
{
    if (as_json) {
        output.out_pieces.push_back(json_document({}, ending));
    } else if (each) {
        if (!ending.backup.empty()) {
            output.out += "backup: " + ending.backup + "\n";
        }
        for (std::string& piece : pieces) {
            output.out_pieces.push_back(std::move(piece));
        }
        output.out_pieces.push_back(findings_text + ending.summary + "\n");
    } else {
        std::string text = ending.backup.empty() ? "" : "backup: " + ending.backup + "\n";
        auto stations = [&](size_t count, const std::vector<std::string>& first) {
            text += std::to_string(count) + (count == 1 ? " station (" : " stations (");
            for (size_t i = 0; i < first.size(); ++i) {
                text += (i > 0 ? ", " : "") + first[i];
            }
            if (count > first.size()) {
                text += ", \xE2\x80\xA6 " + std::to_string(count - first.size()) + " more";
            }
            text += ")\n";
        };
        for (const Group& g : groups) {
            if (g.kind == ChangeKind::added) {
                text += "added";
                if (!g.what.empty()) {
                    text += " with ";
                    append_utf8_from_cp1252(text, g.what);
                }
            } else if (g.kind == ChangeKind::removed) {
                text += "removed";
            } else {
                append_utf8_from_cp1252(text, g.what);
            }
            if (g.has_values && g.same_new) {
                if (g.same_old) {
                    text += ' ';
                    append_shown_value(text, g.old_value);
                }
                text += " -> ";
                append_shown_value(text, g.new_value);
            }
            text += ": ";
            stations(g.stations, g.first);
        }
        for (const FindingGroup& g : finding_groups) {
            text += std::string("check: ") + severity_name(g.severity) + " " + g.rule + ": ";
            if (g.same_message) {
                text += utf8_from_cp1252(g.message) + ": ";
            }
            if (g.findings != g.stations) {
                text += std::to_string(g.findings) + " findings on ";
            }
            stations(g.stations, g.first);
        }
        for (const std::vector<std::string>* said : {&notes_first, &notes}) {
            for (const std::string& line : *said) {
                text += line + "\n";
            }
        }
        output.out_pieces.push_back(text + ending.summary + "\n");
    }
    let_go();
}

void ChangeLines::let_go()
{
    ChangeLines empty{ParsedOptions()};
    empty.show_secrets = show_secrets;
    empty.as_json = as_json;
    empty.each = each;
    empty.dry_run = dry_run;
    *this = std::move(empty);
}

void finish_change(const CommandSpec& command, const ParsedOptions& options, const FileChange& change,
                   ChangeLines& lines, CommandOutput& output)
{
    const std::string& file = change.file;
    myXMLdocument& document = change.document;
    const std::vector<ChangedStation>& stations = change.stations;
    const std::string& summary = change.summary;
    const bool dry_run = options.has("--dry-run");
    const bool elsewhere = options.has("--output");
    // The rules of check on what the command stored.
    std::vector<const TiXmlElement*> touched;
    for (const ChangedStation& changed : stations) {
        touched.push_back(changed.station);
    }
    if (!touched.empty()) {
        CheckOptions check_options = change.check_options;
        check_options.only = &touched;
        const std::vector<Finding> findings = check_document(document, check_options).findings;
        if (options.has("--strict") && std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
                return finding.severity == Severity::warning;
            })) {
            std::vector<std::string> refused;
            for (const Finding& finding : findings) {
                refused.push_back(std::string("check: ") + severity_name(finding.severity) + " " +
                                  utf8_from_cp1252(finding.station) + " " + utf8_from_cp1252(finding.where) + ": " +
                                  utf8_from_cp1252(finding.message) + " (--strict)");
            }
            lines.add_findings(file, findings);
            lines.refuse(command, refused, output);
            return;
        }
        lines.add_findings(file, findings);
    }
    ChangeLines::Ending ending;
    const std::string nothing = file_name_text(file) + ": nothing to change";
    const bool unchanged = stations.empty() && change.removed == 0;
    if (dry_run) {
        ending.dry_run = true;
        ending.summary = unchanged ? nothing : file_name_text(file) + ": " + summary + "; nothing written (dry run)";
        lines.move_to(output, ending);
        return;
    }
    // Nothing to change leaves FILE as it is, byte for byte; OUT is still
    // written, so that what follows in a script finds the result there.
    if (unchanged && !elsewhere) {
        ending.summary = nothing;
        lines.move_to(output, ending);
        return;
    }
    const std::string target = options.value("--output", file.c_str());
    // The lock keeps every writer of ours away; another program that
    // replaced FILE meanwhile is found here, and its version kept.
    if ((!elsewhere || file_system::same_file(target, file)) && changed_since(file, document.file_state())) {
        report_unreadable(command, file, "changed by another program while this command ran; nothing written", output);
        return;
    }
    if (options.has("--backup") && !keep_backup(command, target, ending.backup, output)) {
        return;
    }
    if (document.save_file(target.c_str())) {
        report_unreadable(command, target, document.error_text() + "; the file is as it was", output);
        return;
    }
    output.written = file_name_text(target);
    ending.written_to = output.written;
    ending.summary = file_name_text(file) + ": " + (unchanged ? "nothing to change" : summary) +
                     (elsewhere ? "; written to " + file_name_text(target) : "; written");
    lines.move_to(output, ending);
}

myXMLdocument* load_to_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                              FileLock& lock, CommandOutput& output)
{
    if (options.has("--dry-run")) {
        return load_settings(command, file, output);
    }
    // Long enough for another command on a large fleet to end.
    const int patience_ms = 60000;
    std::string error;
    if (!lock.take(options.value("--output", file.c_str()), std::string("zantor-fleet ") + command.name, patience_ms,
                   error)) {
        output.err +=
            std::string("zantor-fleet ") + command.name + ": " + file_name_text(error) + "; nothing written\n";
        output.status = exit_trouble;
        return nullptr;
    }
    return load_settings(command, file, output);
}

bool outputs_apart(const CommandSpec& command, const std::vector<std::pair<const char*, std::string>>& outputs,
                   const std::vector<std::string>& inputs, CommandOutput& output)
{
    for (const auto& out : outputs) {
        for (const std::string& input : inputs) {
            if (out.second == input || file_system::same_file(out.second, input)) {
                usage_error(command,
                            std::string(out.first) + " " + file_name_text(out.second) + " is the same file as " +
                                file_name_text(input) + ", which the command reads: choose another name",
                            output);
                return false;
            }
        }
    }
    return true;
}
