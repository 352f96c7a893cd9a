// The dispatch of zantor-fleet: the first argument names the command, the
// rest are its options and files.
#include "doc/cp1252.h"
#include "fleet/fleet_commands.h"

namespace {

std::vector<Command> commands()
{
    return {{check_spec(), run_check}, {list_spec(), run_list}, {diff_spec(), run_diff}};
}

std::string program_help()
{
    std::string help =
        "usage: zantor-fleet COMMAND [options] FILE...\n"
        "\n"
        "Checks, lists and compares the settings files of a fleet of NUXO\n"
        "stations, reading them as Zantor Editor does. Never writes a file.\n"
        "\n"
        "Commands:\n";
    for (const Command& command : commands()) {
        help += "  " + std::string(command.spec.name) + std::string(8 - std::string(command.spec.name).size(), ' ') +
                command.spec.summary + "\n";
    }
    return help +
           "\n"
           "Options:\n"
           "  --help\n"
           "      Shows this help (also -h). 'zantor-fleet COMMAND --help' and\n"
           "      'zantor-fleet help COMMAND' show a command's options.\n"
           "\n"
           "Exit status: 0 nothing to report, 1 findings or differences, 2 a usage\n"
           "error or a file that cannot be read.\n";
}

void program_usage_error(const std::string& reason, CommandOutput& output)
{
    output.err += "zantor-fleet: " + reason + "\nTry 'zantor-fleet --help'.\n";
    output.status = exit_trouble;
}

}  // namespace

std::string file_name_text(const std::string& file_name)
{
    return is_valid_utf8(file_name) ? file_name : utf8_from_cp1252(file_name);
}

void report_unreadable(const CommandSpec& command, const std::string& file_name, const std::string& reason,
                       CommandOutput& output)
{
    output.err += std::string("zantor-fleet ") + command.name + ": " + file_name_text(file_name) + ": " + reason + "\n";
    output.status = exit_trouble;
}

CommandOutput run_fleet(const std::vector<std::string>& args)
{
    CommandOutput output;
    if (args.empty()) {
        program_usage_error("no command given", output);
        return output;
    }
    std::string name = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (name == "--help" || name == "-h") {
        output.out = program_help();
        return output;
    }
    if (name == "help") {
        if (rest.empty()) {
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
