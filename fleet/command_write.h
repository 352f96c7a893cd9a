// What the commands that change a settings file share: the options
// --dry-run, --output and --backup, and the one road by which they write,
// the editor's safe save, all or nothing.
#ifndef ZANTOR_FLEET_COMMAND_WRITE_H
#define ZANTOR_FLEET_COMMAND_WRITE_H

#include <string>
#include <vector>

#include "fleet/command_line.h"
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

// Ends a command that changed `stations` of `document`, loaded from
// `file`. Prints each change as `zantor-fleet diff` does, the same lines
// with --dry-run and without, settings that completion added counted on one
// line; then the findings of check on those stations (with --strict any
// warning refuses the change). Unless --dry-run, writes the document (to
// OUT with --output, first keeping the replaced file with --backup). When
// nothing changed FILE is not touched.
void finish_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                   myXMLdocument& document, const std::vector<ChangedStation>& stations, const std::string& summary,
                   CommandOutput& output);

#endif
