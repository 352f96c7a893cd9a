// zantor-fleet: the settings files of a fleet of stations, from the command
// line. See fleet_main.cpp for the commands.
#include <cstdio>
#include <cstdlib>

#include "fleet/fleet_commands.h"

int main(int argc, char** argv)
{
    const CommandOutput output = run_fleet(std::vector<std::string>(argv + 1, argv + argc));
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    for (const std::string& piece : output.out_pieces) {
        std::fwrite(piece.data(), 1, piece.size(), stdout);
    }
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zantor-fleet: cannot write the output\n");
        std::fflush(stderr);
        std::_Exit(exit_trouble);
    }
    std::fflush(stderr);
    // The documents read go back to the system with the process, at once:
    // freeing the 800,000 elements of a large fleet one by one would only
    // make the operator wait a tenth longer for the prompt.
    std::_Exit(output.status);
}
