// Floor of the fleet tool's ratios: TinyXML's LoadFile of each file given,
// in the single-byte mode the tool reads settings files in, in a process
// that links TinyXML alone. With --save OUT first, the last file loaded is
// then written to OUT with SaveFile, the floor of the commands that change
// a file. Like the tool, it ends without freeing the documents: the floor
// is the loading (and saving), not the freeing.
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<TiXmlDocument>> documents;
    const bool save = argc > 2 && std::string(argv[1]) == "--save";
    for (int i = save ? 3 : 1; i < argc; ++i) {
        documents.emplace_back(new TiXmlDocument());
        if (!documents.back()->LoadFile(argv[i], TIXML_ENCODING_LEGACY)) {
            std::fprintf(stderr, "zantor_bench_fleet_floor: cannot load %s: %s\n", argv[i],
                         documents.back()->ErrorDesc());
            return 1;
        }
    }
    if (save && (documents.empty() || !documents.back()->SaveFile(argv[2]))) {
        std::fprintf(stderr, "zantor_bench_fleet_floor: cannot save %s\n", argv[2]);
        return 1;
    }
    std::_Exit(0);
}
