// Writes the generated seeds of the fuzz corpus into the directory given as
// the argument: a new document and small fleets, each saved by the editor's
// own writer. `make_seed_corpus fuzz/corpus` refreshes the checked-in files.
#include <cstdio>
#include <string>

#include "doc/Lib_xml.h"
#include "doc/top_level.h"
#include "support/station_fleet.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    bool failed = false;

    myXMLdocument empty("SETUP");
    bind_top_level(empty);
    failed |= empty.save_file((directory + "/new_document.xml").c_str());

    // Each fleet is small enough for the fuzzer's input size limit.
    for (int count : {1, 2}) {
        myXMLdocument fleet("SETUP");
        build_fleet(fleet, count);
        failed |= fleet.save_file((directory + "/fleet_" + std::to_string(count) + ".xml").c_str());
    }
    if (failed) {
        fprintf(stderr, "cannot write the seeds into %s\n", directory.c_str());
    }
    return failed ? 1 : 0;
}
