// The fleet tool as built, run as an operator runs it: by the system's shell
// (cmd.exe on Windows) in a folder, with its output kept.
#ifndef ZANTOR_TESTS_SUPPORT_FLEET_PROGRAM_H
#define ZANTOR_TESTS_SUPPORT_FLEET_PROGRAM_H

#include <string>
#include <vector>

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

#endif
