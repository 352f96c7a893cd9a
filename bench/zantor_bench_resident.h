// Resident memory of the running process, as the kernel counts it. Used by
// the benchmark's child processes, including the one that links nothing but
// TinyXML, so this header needs only the C++ library.
#ifndef ZANTOR_BENCH_RESIDENT_H
#define ZANTOR_BENCH_RESIDENT_H

#include <fstream>
#include <sstream>
#include <string>

struct ResidentMemory {
    long peak_kib = 0;     // VmHWM: the most the process ever held resident
    long current_kib = 0;  // VmRSS: what it holds now
};

inline ResidentMemory resident_memory()
{
    ResidentMemory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string key;
        long value = 0;
        fields >> key >> value;
        if (key == "VmHWM:") {
            memory.peak_kib = value;
        } else if (key == "VmRSS:") {
            memory.current_kib = value;
        }
    }
    return memory;
}

#endif
