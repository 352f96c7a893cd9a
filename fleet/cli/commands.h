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

struct Change;
// Changes as diff --format json prints them: an array of objects with the
// keys kind, station, description, what, old and new.
std::string changes_as_json(const std::vector<Change>& changes);

// A file name as the operator typed it, as UTF-8 (a name that is not
// UTF-8 is taken for Windows-1252, the code page of the settings files).
std::string file_name_text(const std::string& file_name);

// Loads the settings file FILE into a document the output keeps; null when
// it cannot be read or its root is not SETUP (reported, status 2).
myXMLdocument* load_settings(const CommandSpec& command, const std::string& file, CommandOutput& output);

// Tells the operator on standard error that a file cannot be read, and why.
void report_unreadable(const CommandSpec& command, const std::string& file_name, const std::string& reason,
                       CommandOutput& output);

#endif
