// What the commands that change a settings file share: the options
// --dry-run, --output and --backup, and the one road by which they write,
// the editor's safe save, all or nothing.
#ifndef ZANTOR_FLEET_COMMAND_WRITE_H
#define ZANTOR_FLEET_COMMAND_WRITE_H

#include <map>
#include <string>
#include <vector>

#include "doc/file_lock.h"
#include "fleet/check_rules.h"
#include "fleet/command_line.h"
#include "fleet/diff_station.h"
#include "fleet/fleet_diff.h"
#include "fleet/fleet_station.h"

// The command's own options, then --dry-run, --output OUT and --backup.
std::vector<OptionSpec> with_write_options(std::vector<OptionSpec> options);

// The exit statuses of a command that changes a file.
extern const char* const write_exit_status;

// The most errors a refused input prints; the rest are counted.
const size_t max_errors_shown = 20;

// Tells the operator why the input was refused, one error a line (at most
// max_errors_shown, then "... and N more"), and that nothing was written
// (status 1).
void report_refused(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output);

// The lines of the changes as `zantor-fleet diff` gives them (in the form
// --format asks for), the same with --dry-run and without, settings that
// completion added counted on one line. Given each station as soon as it is
// changed (a StationChanged), so that its record as it was goes at once.
class ChangeLines {
public:
    explicit ChangeLines(const ParsedOptions& options);
    // Says the change of the station and lets go of its record as it was.
    void add(ChangedStation& changed);
    // Says a station removed (id and description in document text): in
    // JSON an object of its own; the text names the stations removed on
    // one line, which the command says.
    void add_removed(const std::string& id, const std::string& description);
    // Lines the operator reads before the changes (what the command noticed
    // of its input) or after them (UTF-8): with the changes as text, or on
    // standard error beside JSON, which stays a document of its own.
    void say_first(const std::vector<std::string>& said);
    void say(const std::string& line);
    // Hands the lines said so far, each ending in a line break (with
    // --format json the array of the changes), to the output after what it
    // holds. Leaves nothing behind.
    void move_to(CommandOutput& output);

private:
    bool show_secrets = false;
    bool json = false;
    // The text in pieces of about a megabyte: the lines of a fleet run to
    // tens of megabytes, which one growing text would copy again and again.
    std::vector<std::string> pieces;
    std::vector<Change> changes;  // for json
    std::string said_beside_json;
    // The choices of the sequences that the changed stations hold copies
    // of, read once for them all.
    std::map<const TiXmlElement*, SequenceChoices> copied_choices;
};

// Ends a command that changed `stations` of `document`, loaded from
// `file`. Prints the lines of the changes, then the findings of check on
// those stations (with --strict any warning refuses the change). Unless
// --dry-run, writes the document (to OUT with --output, first keeping the
// replaced file with --backup). When nothing changed FILE is not touched.
// `check_options` gives what the command knows of the stations it changed
// (CheckOptions::known_sequences); its `only` is set here. `removed`
// counts the stations the command removed, which changes FILE too.
void finish_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                   myXMLdocument& document, const std::vector<ChangedStation>& stations, ChangeLines& lines,
                   const std::string& summary, CommandOutput& output, CheckOptions check_options = CheckOptions(),
                   int removed = 0);

// Takes the lock of the file the command writes (FILE, or OUT with
// --output; none with --dry-run), waiting a while for another writer to
// finish; false, reported with status 2, when another holds it still.
// Taken before FILE is read, and held until the command ends, so that the
// file it writes is the file it read, changed.
bool lock_written_file(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                       FileLock& lock, CommandOutput& output);

// Refuses, as a usage error, an output that is the same file as an input:
// writing it would destroy what the command reads. True when none is.
bool outputs_apart(const CommandSpec& command, const std::vector<std::pair<const char*, std::string>>& outputs,
                   const std::vector<std::string>& inputs, CommandOutput& output);

#endif
