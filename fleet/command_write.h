// What the commands that change a settings file share: the options
// --dry-run, --output and --backup, and the one road by which they write,
// the editor's safe save, all or nothing.
#ifndef ZANTOR_FLEET_COMMAND_WRITE_H
#define ZANTOR_FLEET_COMMAND_WRITE_H

#include <string>
#include <vector>

#include "fleet/command_line.h"

// The command's own options, then --dry-run, --output OUT and --backup.
std::vector<OptionSpec> with_write_options(std::vector<OptionSpec> options);

// The exit statuses of a command that changes a file.
extern const char* const write_exit_status;

// Tells the operator why the input was refused, one error a line, and that
// nothing was written (status 1).
void report_refused(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output);

// Ends a command that changed `document`, loaded from `file`: with --dry-run
// prints the changes as `zantor-fleet diff` does; otherwise writes the
// document (to OUT with --output, keeping the replaced file as NAME.bak with
// --backup) and prints `lines`, one per station, then `file: <summary>`.
// When `lines` is empty there is nothing to change and FILE is not touched.
void finish_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                   myXMLdocument& document, const std::vector<std::string>& lines, const std::string& summary,
                   CommandOutput& output);

#endif
