// The commands of zantor-fleet. Each has its options table and its run;
// the dispatch in dispatch.cpp finds them by name.
#ifndef ZANTOR_FLEET_CLI_COMMANDS_H
#define ZANTOR_FLEET_CLI_COMMANDS_H

#include <string>
#include <vector>

#include "fleet/cli/options.h"

// Runs `zantor-fleet ARGS...` (the arguments after the program's name).
CommandOutput run_fleet(const std::vector<std::string>& args);

struct Command {
    const CommandSpec& spec;
    void (*run)(const ParsedOptions& options, CommandOutput& output);
};

// Each command, from its file in cli/.
Command check_command();
Command list_command();
Command diff_command();
Command import_command();
Command import_csv_command();
Command apply_command();

#endif
