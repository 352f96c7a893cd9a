// The command line of zantor-fleet: each command's options in one table
// that drives both the parsing and the help, so that --help describes every
// option there is.
#ifndef ZANTOR_FLEET_CLI_OPTIONS_H
#define ZANTOR_FLEET_CLI_OPTIONS_H

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "doc/Lib_xml.h"

// Exit statuses of every command.
const int exit_nothing_to_report = 0;
const int exit_findings = 1;  // findings, differences
const int exit_trouble = 2;   // a usage error, or a file that cannot be read

// What a command prints, and its exit status.
struct CommandOutput {
    std::string out;  // standard output (UTF-8)
    // More of standard output, written after `out` in this order: the lines
    // of a change over a whole fleet run to tens of megabytes, and stay in
    // the pieces they were made in rather than being copied into one.
    std::vector<std::string> out_pieces;
    std::string err;  // standard error
    int status = exit_nothing_to_report;
    // The file the command wrote (UTF-8), if any: said first when the
    // report cannot be printed.
    std::string written;
    // The documents the command read last. They go with the output, so that
    // the program can write it and end without freeing them one by one (a
    // fleet of 10,000 stations is 800,000 elements).
    std::vector<std::unique_ptr<myXMLdocument>> documents;
};

struct OptionSpec {
    const char* name;        // "--format"
    const char* value_name;  // "text|csv|json", or null for a switch
    const char* help;        // one sentence or more
    // A list option (--to, --parts) may be given again: its values add up,
    // joined by commas. Any other option given twice is a usage error.
    bool repeatable = false;
};

struct CommandSpec {
    const char* name;      // "check"
    const char* synopsis;  // "FILE... [--format text|csv|json]"
    const char* summary;   // one line for the list of commands
    std::string description;
    std::vector<OptionSpec> options;  // --help is added to every command
    const char* exit_status;
};

struct ParsedOptions {
    std::vector<std::string> operands;          // files, in order
    std::map<std::string, std::string> values;  // options given, with their values ("" for a switch)
    bool help = false;

    bool has(const char* option) const { return values.count(option) > 0; }
    std::string value(const char* option, const char* otherwise) const;
};

// True for an argument that asks for help: --help, -h, and -? and /? as
// Windows programs take them (no file is named "/?" there).
bool is_help_request(const std::string& arg);

// Reads `args` (after the command's name): options anywhere, "--opt value"
// or "--opt=value", "--" ending the options. False with `error` naming the
// unknown option, the option that lacks its value (an empty one included)
// or has one it takes not, or the option given twice that is no list.
bool parse_options(const CommandSpec& command, const std::vector<std::string>& args, ParsedOptions& parsed,
                   std::string& error);

// The command's --help.
std::string command_help(const CommandSpec& command);

// The items of a comma-separated list, blanks around each dropped and empty
// items left out: "1002, 1003" gives 1002 and 1003.
std::vector<std::string> comma_list(const std::string& text);

// Reports a usage error of the command: the reason and where to read more.
void usage_error(const CommandSpec& command, const std::string& reason, CommandOutput& output);

// A rule of a command's usage, such as "one FILE": when it is broken, the
// command stops with a usage error that gives `reason`.
struct UsageRule {
    bool broken;
    std::string reason;
};

// The rule that `format`, the value of --format, is one of `formats`:
// "unknown format 'csv' (text or json)".
UsageRule format_rule(const std::string& format, std::initializer_list<const char*> formats);

// Reports the first broken rule of `rules` as a usage error; true when the
// command line breaks none.
bool usage_followed(const CommandSpec& command, std::initializer_list<UsageRule> rules, CommandOutput& output);

#endif
