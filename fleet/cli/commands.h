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

const CommandSpec& check_spec();
void run_check(const ParsedOptions& options, CommandOutput& output);
const CommandSpec& list_spec();
void run_list(const ParsedOptions& options, CommandOutput& output);
const CommandSpec& diff_spec();
void run_diff(const ParsedOptions& options, CommandOutput& output);
const CommandSpec& import_spec();
void run_import(const ParsedOptions& options, CommandOutput& output);
const CommandSpec& import_csv_spec();
void run_import_csv(const ParsedOptions& options, CommandOutput& output);
const CommandSpec& apply_spec();
void run_apply(const ParsedOptions& options, CommandOutput& output);

#endif
