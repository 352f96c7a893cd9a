// The fleet tool's commands on the largest fleet, each beside TinyXML's
// LoadFile of the same files in the single-byte mode the tool reads them in.
// Both run as fresh processes, as an operator runs the tool: the program as
// built, its output to /dev/null, and a floor program that links TinyXML
// alone.
#ifndef ZANTOR_BENCH_FLEET_H
#define ZANTOR_BENCH_FLEET_H

#include <string>

struct FleetToolFigures {
    double check = 0, check_floor = 0;    // check of the fleet / LoadFile of it
    double diff = 0, diff_floor = 0;      // diff of the fleet and a copy with 100 stations changed / both LoadFiles
    double apply = 0, apply_floor = 0;    // apply --all --parts sequences / LoadFile plus SaveFile
    double import = 0, import_floor = 0;  // import-csv of a new APN for every station / the same
};

// Medians of `runs` runs of `zantor-fleet check`, `diff`, `apply` and
// `import-csv` on `fleet_file` (written by the benchmark) and of their
// floors, taking turns; the changed copy of the fleet, the CSV and the
// files the commands write go into `scratch_dir`.
FleetToolFigures measure_fleet_tool(const std::string& fleet_file, const std::string& scratch_dir, int runs);

#endif
