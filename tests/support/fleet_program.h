// The fleet tool as built, run as an operator runs it: by the system's shell
// (cmd.exe on Windows) in a folder, with its output kept.
#ifndef ZANTOR_TESTS_SUPPORT_FLEET_PROGRAM_H
#define ZANTOR_TESTS_SUPPORT_FLEET_PROGRAM_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/core_files.h"

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;

    // All the run printed: its standard output, then its standard error.
    std::string printed() const { return out + err; }
};

// Runs zantor-fleet with `args` in `folder`, so that file names can be given
// relative to it; its output passes through stdout.txt and stderr.txt there.
ProgramRun run_fleet_program(const std::string& folder, const std::vector<std::string>& args);

// A complete station on a few lines; `gsm_duration` in seconds.
std::string station(const char* id, const char* description, const char* gsm_duration = "600",
                    const char* apn_password = "");
// A settings file with a small top level and these stations.
std::string settings(const std::string& stations);

// A test of the program on files in a temporary directory of its own.
class FleetProgram : public ::testing::Test {
protected:
    TempDir dir;

    std::string file(const char* name, const std::string& content)
    {
        write_bytes(dir.file(name), content);
        return dir.file(name);
    }

    // Runs the program with `args`; file names are given relative to the
    // temporary directory, so the output does not depend on where it is.
    ProgramRun run(const std::vector<std::string>& args) { return run_fleet_program(dir.path(), args); }

    // Runs the program with `args`, checks that it exits with `status`, and
    // returns the run for its output.
    ProgramRun run_ending(int status, const std::vector<std::string>& args)
    {
        const ProgramRun result = run(args);
        std::string command_line = "zantor-fleet";
        for (const std::string& arg : args) {
            command_line += " " + arg;
        }
        EXPECT_EQ(status, result.status) << command_line;
        return result;
    }
};

#endif
