// What the commands that change a settings file share: the options
// --dry-run, --output and --backup, and the one road by which they write,
// the editor's safe save, all or nothing.
#ifndef ZANTOR_FLEET_CLI_WRITE_H
#define ZANTOR_FLEET_CLI_WRITE_H

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "doc/file_lock.h"
#include "fleet/check/rules.h"
#include "fleet/cli/options.h"
#include "fleet/diff/file_diff.h"
#include "fleet/diff/station_diff.h"
#include "fleet/station/stations.h"

// The command's own options, then --dry-run, --output OUT, --backup, --each
// and the others every command that changes a file takes.
std::vector<OptionSpec> with_write_options(std::vector<OptionSpec> options);

// The exit statuses of a command that changes a file.
extern const char* const write_exit_status;

// The most errors a refused input prints; the rest are counted.
const size_t max_errors_shown = 20;

// Refuses, as a usage error, a --format other than text and json; true
// when it is one of them.
bool write_format_followed(const CommandSpec& command, const ParsedOptions& options, CommandOutput& output);

// Tells the operator why the input was refused, one error a line (at most
// max_errors_shown, then "... and N more"), and that nothing was written
// (status 1).
void report_refused(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output);

// The report of a command that changes a file, in the form the options ask
// for. Text (the default) says each kind of change once, with its count and
// the first stations, then the findings of check the same way, then the
// notes and the summary line: a fleet of 10,000 stations changed alike is a
// few lines, not a hundred thousand. With --each, one line per change and
// per finding, as diff and check give them. With --format json, one
// document: the changes as diff --format json gives them, the findings as
// check's (with their rule), the notes, the summary, and what was written.
// Given each station as soon as it is changed (a StationChanged), so that
// its record as it was goes at once.
class ChangeLines {
public:
    explicit ChangeLines(const ParsedOptions& options);
    // Says the change of the station and lets go of its record as it was.
    void add(ChangedStation& changed);
    // Says a station removed (id and description in document text).
    void add_removed(const std::string& id, const std::string& description);
    // Lines the operator reads (UTF-8) of what the command noticed of its
    // input: before the changes with --each, after them in the summary.
    void say_first(const std::vector<std::string>& said);
    void say(const std::string& line);
    // What check finds on the stations changed in FILE.
    void add_findings(const std::string& file, const std::vector<Finding>& findings);
    // Refuses the input with `errors` (status 1): on standard error, and in
    // JSON the document says them too. Leaves nothing behind.
    void refuse(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output);
    // How the command ended: its summary line and what it wrote.
    struct Ending {
        std::string summary;  // UTF-8, "fleet.xml: 1 station changed; written"
        bool dry_run = false;
        std::string written_to;  // UTF-8; empty when nothing was written
        std::string backup;      // UTF-8; empty when none was kept
    };
    // Hands the report to the output after what it holds. Leaves nothing
    // behind.
    void move_to(CommandOutput& output, const Ending& ending);

private:
    // One kind of change over the stations: the setting, with the old and
    // new values while every station shares them.
    struct Group {
        ChangeKind kind = ChangeKind::changed;
        std::string what;  // document text
        bool has_values = false, same_old = true, same_new = true;
        ShownValue old_value, new_value;
        size_t stations = 0;
        size_t last_station = 0;         // the serial of the last station counted, from 1
        std::vector<std::string> first;  // the first stations' ids, UTF-8
    };
    struct FindingGroup {
        Severity severity = Severity::note;
        std::string rule;
        std::string message;  // the first finding's, document text
        bool same_message = true;
        size_t findings = 0, stations = 0;
        std::string last_station;
        std::vector<std::string> first;
    };
    void group(const std::string& id, const Change& change);
    void let_go();
    std::string json_document(const std::vector<std::string>& errors, const Ending& ending) const;

    bool show_secrets = false;
    bool as_json = false;
    bool each = false;
    bool dry_run = false;
    // With --each: the text in pieces of about a megabyte: the lines of a
    // fleet run to tens of megabytes, which one growing text would copy
    // again and again.
    std::vector<std::string> pieces;
    std::string findings_text;
    // Else the groups in the order they first came, found by their key.
    std::vector<Group> groups;
    std::unordered_map<std::string, size_t> group_index;
    size_t station_serial = 0;
    std::vector<FindingGroup> finding_groups;
    std::vector<std::string> notes_first, notes;
    // With json.
    std::vector<Change> changes;
    std::vector<std::string> finding_objects;
    // The choices of the sequences that the changed stations hold copies
    // of, read once for them all.
    std::map<const TiXmlElement*, SequenceChoices> copied_choices;
};

// What a command changed in a settings file.
struct FileChange {
    const std::string& file;  // FILE, as the operator named it
    myXMLdocument& document;  // loaded from it, and changed
    const std::vector<ChangedStation>& stations;
    std::string summary;  // "3 stations changed", said after FILE's name
    // What the command knows of the stations it changed
    // (CheckOptions::known_sequences); its `only` is set by finish_change.
    CheckOptions check_options = CheckOptions();
    int removed = 0;  // stations removed, which change FILE too
};

// Ends a command that made `change`. Reports the changes said to `lines`
// with the findings of check on the stations changed (with --strict any
// warning refuses the change). Unless --dry-run, writes the document (to
// OUT with --output, first keeping the replaced file with --backup). When
// nothing changed FILE is not touched.
void finish_change(const CommandSpec& command, const ParsedOptions& options, const FileChange& change,
                   ChangeLines& lines, CommandOutput& output);

// Loads the settings file FILE that the command changes, after taking the
// lock of the file it writes (FILE, or OUT with --output; none with
// --dry-run), waiting a while for another writer to finish. The lock is
// held until the command ends, so that the file it writes is the file it
// read, changed. Null, reported with status 2, when another writer holds
// the lock still or FILE cannot be read.
myXMLdocument* load_to_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                              FileLock& lock, CommandOutput& output);

// Refuses, as a usage error, an output that is the same file as an input:
// writing it would destroy what the command reads. True when none is.
bool outputs_apart(const CommandSpec& command, const std::vector<std::pair<const char*, std::string>>& outputs,
                   const std::vector<std::string>& inputs, CommandOutput& output);

#endif
