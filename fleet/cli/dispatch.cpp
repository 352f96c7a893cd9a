// The dispatch of zantor-fleet: the first argument names the command, the
// rest are its options and files.
#include <algorithm>

#include "fleet/cli/commands.h"

namespace {

std::vector<Command> commands()
{
    return {check_command(), list_command(), diff_command(), import_command(), import_csv_command(), apply_command()};
}

std::string program_help()
{
    std::string help =
        "usage: zantor-fleet COMMAND [options] FILE...\n"
        "\n"
        "Checks, lists and compares the settings files of a fleet of NUXO\n"
        "stations, reading them as Zantor Editor does, and changes many\n"
        "stations at once. check and diff never write a file, list only the\n"
        "workbook of --xlsx; import (also named import-csv) and apply write\n"
        "one through the editor's safe save, all or nothing.\n"
        "\n"
        "Commands:\n";
    size_t width = 0;
    for (const Command& command : commands()) {
        width = std::max(width, std::string(command.spec.name).size());
    }
    for (const Command& command : commands()) {
        const std::string name = command.spec.name;
        help += "  " + name + std::string(width + 2 - name.size(), ' ') + command.spec.summary + "\n";
    }
    return help +
           "\n"
           "Options:\n"
           "  --help\n"
           "      Shows this help (also -h, -? and /?). 'zantor-fleet COMMAND\n"
           "      --help' and 'zantor-fleet help COMMAND' show a command's options.\n"
           "  --version\n"
           "      Shows the version of zantor-fleet.\n"
           "\n"
           "Exit status: 0 nothing to report (import and apply: written, or\n"
           "nothing to change), 1 findings or differences (import and apply:\n"
           "errors in the input, nothing written), 2 a usage error or a file that\n"
           "cannot be read or written.\n";
}

void program_usage_error(const std::string& reason, CommandOutput& output)
{
    output.err += "zantor-fleet: " + reason + "\nTry 'zantor-fleet --help'.\n";
    output.status = exit_trouble;
}

}  // namespace

CommandOutput run_fleet(const std::vector<std::string>& args)
{
    CommandOutput output;
    if (args.empty()) {
        program_usage_error("no command given", output);
        return output;
    }
    std::string name = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (is_help_request(name)) {
        output.out = program_help();
        return output;
    }
    if (name == "--version") {
        output.out = "zantor-fleet " ZANTOR_FLEET_VERSION "\n";
        return output;
    }
    if (name == "help") {
        if (rest.empty() || is_help_request(rest[0])) {
            output.out = program_help();
            return output;
        }
        name = rest[0];
        rest = {"--help"};
    }
    for (const Command& command : commands()) {
        if (name != command.spec.name) {
            continue;
        }
        ParsedOptions options;
        std::string error;
        if (!parse_options(command.spec, rest, options, error)) {
            usage_error(command.spec, error, output);
        } else if (options.help) {
            output.out = command_help(command.spec);
        } else {
            command.run(options, output);
        }
        return output;
    }
    program_usage_error(
        name.compare(0, 1, "-") == 0 ? "unknown option '" + name + "'" : "unknown command '" + name + "'", output);
    return output;
}
