// What the commands that change a settings file share: the options
// --dry-run, --output and --backup, and the one road by which they write,
// the editor's safe save, all or nothing.
#ifndef ZANTOR_FLEET_COMMAND_WRITE_H
#define ZANTOR_FLEET_COMMAND_WRITE_H

#include <map>
#include <string>
#include <vector>

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
// (CheckOptions::known_sequences); its `only` is set here.
void finish_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                   myXMLdocument& document, const std::vector<ChangedStation>& stations, ChangeLines& lines,
                   const std::string& summary, CommandOutput& output, CheckOptions check_options = CheckOptions());

#endif
