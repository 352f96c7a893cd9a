// Memory floor of the benchmark: the settings file loaded by TinyXML alone,
// in a process that links nothing else. Prints "resident <peak> <now>" in
// KiB, where <now> is what the process holds once the document is loaded.
#include <tinyxml.h>

#include <cstdio>

#include "bench/zantor_bench_resident.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantor_bench_floor FILE\n");
        return 2;
    }
    TiXmlDocument document;
    if (!document.LoadFile(argv[1])) {
        std::fprintf(stderr, "zantor_bench_floor: cannot load %s: %s\n", argv[1], document.ErrorDesc());
        return 1;
    }
    const ResidentMemory memory = resident_memory();
    std::printf("resident %ld %ld\n", memory.peak_kib, memory.current_kib);
    return 0;
}
