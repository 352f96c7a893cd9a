#include "support/fleet_program.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

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
    const int status = std::system(command.c_str());
#ifdef _WIN32
    result.status = status;
#else
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = read_bytes(folder + "/stdout.txt");
    result.err = read_bytes(folder + "/stderr.txt");
    return result;
}
