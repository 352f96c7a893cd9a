// zantor-fleet: the settings files of a fleet of stations, from the command
// line. See fleet_main.cpp for the commands.
#include <cstdio>

#include "fleet/fleet_commands.h"

int main(int argc, char** argv)
{
    const CommandOutput output = run_fleet(std::vector<std::string>(argv + 1, argv + argc));
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zantor-fleet: cannot write the output\n");
        return exit_trouble;
    }
    return output.status;
}
