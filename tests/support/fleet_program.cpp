#include "support/fleet_program.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "support/core_files.h"
#include "support/test_paths.h"

ProgramRun run_fleet_program(const std::string& folder, const std::vector<std::string>& args)
{
#ifdef _WIN32
    const char quote = '"';
    std::string command = "cd /d ";  // also changes the drive
#else
    const char quote = '\'';
    std::string command = "cd ";
#endif
    command += quote + folder + quote + " && " + quote + ZANTOR_FLEET_PROGRAM + quote;
    for (const std::string& arg : args) {
        command += ' ' + (quote + arg + quote);
    }
    command += " > stdout.txt 2> stderr.txt";
    ProgramRun result;
    // A run that never started must not pass off the last run's output.
    std::remove((folder + "/stdout.txt").c_str());
    std::remove((folder + "/stderr.txt").c_str());
    int status = std::system(command.c_str());
#ifdef _WIN32
    // Under Wine on a busy machine the command processor itself now and
    // then fails to start (-1, before the program runs): start it again.
    for (int attempt = 1; status == -1 && attempt < 3; ++attempt) {
        status = std::system(command.c_str());
    }
    result.status = status;
#else
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = read_bytes(folder + "/stdout.txt");
    result.err = read_bytes(folder + "/stderr.txt");
    return result;
}
