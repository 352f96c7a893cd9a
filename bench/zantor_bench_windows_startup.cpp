// The Windows editor's start-up, run under Wine by the benchmark: the
// editor's main window or the plain one, as the Linux benchmark's child.
// Usage: zantor_bench_windows_startup MODE [LABELS EDITS BUTTONS]
#include <cstdlib>

#include "bench/zantor_bench_startup.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    WindowContent like;
    like.labels = argc > 2 ? std::atoi(argv[2]) : 0;
    like.edits = argc > 3 ? std::atoi(argv[3]) : 0;
    like.buttons = argc > 4 ? std::atoi(argv[4]) : 0;
    return run_startup(argc, argv, argv[1], like);
}
