#include "fleet/command_write.h"

#include "doc/cp1252.h"
#include "doc/file_replace.h"
#include "doc/file_system.h"
#include "doc/xml_load.h"
#include "fleet/fleet_commands.h"
#include "fleet/fleet_diff.h"

const char* const write_exit_status =
    "Exit status: 0 when the file was written or there was nothing to change (with --dry-run: when the input is "
    "valid), 1 when the input holds errors (each is listed on standard error, and nothing is written), 2 on a usage "
    "error or when a file cannot be read or written.";

std::vector<OptionSpec> with_write_options(std::vector<OptionSpec> options)
{
    options.insert(
        options.end(),
        {{"--dry-run", nullptr, "Prints what would change, in the form of zantor-fleet diff, and writes nothing."},
         {"--output", "OUT", "Writes the result to OUT and leaves FILE as it was."},
         {"--backup", nullptr,
          "First keeps the file that is replaced, byte for byte, as the same name with .bak added, written the "
          "same safe way."}});
    return options;
}

void report_refused(const CommandSpec& command, const std::vector<std::string>& errors, CommandOutput& output)
{
    const std::string prefix = std::string("zantor-fleet ") + command.name + ": ";
    for (const std::string& error : errors) {
        output.err += prefix + error + "\n";
    }
    output.err +=
        prefix + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") + ", nothing written\n";
    output.status = exit_findings;
}

namespace {

void print_dry_run(const CommandSpec& command, const std::string& file, myXMLdocument& changed,
                   const std::vector<std::string>& lines, CommandOutput& output)
{
    if (lines.empty()) {
        output.out += file_name_text(file) + ": nothing to change\n";
        return;
    }
    myXMLdocument* original = load_settings(command, file, output);
    if (original == nullptr) {
        return;
    }
    const DiffReport report = diff_documents(*original, changed, false);
    for (const Change& change : report.changes) {
        output.out += utf8_from_cp1252(change_line(change)) + "\n";
    }
    output.out += diff_summary(report);
}

// Keeps the file that `target` names as target.bak, unless there is none.
bool keep_backup(const CommandSpec& command, const std::string& target, CommandOutput& output)
{
    if (file_system::kind_of(target) == file_system::Kind::missing) {
        return true;
    }
    std::string bytes, error;
    const std::string backup = target + ".bak";
    if (!read_whole_file(target.c_str(), bytes, error) || !replace_file_content(backup.c_str(), bytes, error)) {
        report_unreadable(command, backup, "cannot keep the backup: " + error + "; nothing written", output);
        return false;
    }
    return true;
}

}  // namespace

void finish_change(const CommandSpec& command, const ParsedOptions& options, const std::string& file,
                   myXMLdocument& document, const std::vector<std::string>& lines, const std::string& summary,
                   CommandOutput& output)
{
    if (options.has("--dry-run")) {
        print_dry_run(command, file, document, lines, output);
        return;
    }
    const bool elsewhere = options.has("--output");
    // Nothing to change leaves FILE as it is, byte for byte; OUT is still
    // written, so that what follows in a script finds the result there.
    if (lines.empty() && !elsewhere) {
        output.out += file_name_text(file) + ": nothing to change\n";
        return;
    }
    const std::string target = options.value("--output", file.c_str());
    if (options.has("--backup") && !keep_backup(command, target, output)) {
        return;
    }
    if (document.save_file(target.c_str())) {
        report_unreadable(command, target, "cannot write: " + document.error_text(), output);
        return;
    }
    for (const std::string& line : lines) {
        output.out += utf8_from_cp1252(line) + "\n";
    }
    output.out += file_name_text(file) + ": " + (lines.empty() ? "nothing to change" : summary) +
                  (elsewhere ? "; written to " + file_name_text(target) : "; written") + "\n";
}
