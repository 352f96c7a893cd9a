// The fleet tool's commands on the largest fleet, each beside TinyXML's
// LoadFile of the same files in the single-byte mode the tool reads them in,
// and beside the editor's Open of them through the core (the same loader as
// the tool's, so its true floor). All run as fresh processes, as an operator
// runs the tool: the program as built, its output to /dev/null, and the floor
// program (bench/zantor_bench_fleet_floor.cpp).
#ifndef ZANTOR_BENCH_FLEET_H
#define ZANTOR_BENCH_FLEET_H

#include <string>

struct FleetToolFigures {
    double check = 0, check_floor = 0;    // check of the fleet / LoadFile of it
    double diff = 0, diff_floor = 0;      // diff of the fleet and a copy with 100 stations changed / both LoadFiles
    double apply = 0, apply_floor = 0;    // apply --all --parts sequences / LoadFile plus SaveFile
    double import = 0, import_floor = 0;  // import-csv of a new APN for every station / the same
    // The workbook beside CSV, on the whole list: list --xlsx / list --csv,
    // and the import of the one / of the other (nothing to change).
    double list_xlsx = 0, list_csv = 0;
    double import_xlsx = 0, import_csv = 0;
    // The import of a workbook from list --xlsx with 1,000 cells changed,
    // merged three ways with its hidden listed values / the same workbook
    // without them (the same changes, by key).
    double import_3way = 0, import_keyed = 0;
    // The true floors: the editor's Open through the core (load_file and the
    // completion of the top level), without a window.
    double open = 0;                       // of the fleet, beside check
    double list = 0;                       // list of the fleet
    double two_opens = 0;                  // of both files of diff, held together
    double open_save = 0;                  // Open then the editor's save, beside apply
    double import_open_save = 0;           // the same, beside import-csv
    long diff_kib = 0, two_opens_kib = 0;  // peak resident memory of diff / of the two Opens
};

// Medians of `runs` runs of `zantor-fleet check`, `diff`, `apply` and
// `import-csv` on `fleet_file` (written by the benchmark) and of their
// floors, taking turns; the changed copy of the fleet, the CSV and the
// files the commands write go into `scratch_dir`.
FleetToolFigures measure_fleet_tool(const std::string& fleet_file, const std::string& scratch_dir, int runs);

#endif
