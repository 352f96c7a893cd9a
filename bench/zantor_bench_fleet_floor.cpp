// Floor of the fleet tool's ratios: TinyXML's LoadFile of each file given,
// in the single-byte mode the tool reads settings files in, in a process
// that links TinyXML alone. Like the tool, it ends without freeing the
// documents: the floor is the loading, not the freeing.
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<TiXmlDocument>> documents;
    for (int i = 1; i < argc; ++i) {
        documents.emplace_back(new TiXmlDocument());
        if (!documents.back()->LoadFile(argv[i], TIXML_ENCODING_LEGACY)) {
            std::fprintf(stderr, "zantor_bench_fleet_floor: cannot load %s: %s\n", argv[i],
                         documents.back()->ErrorDesc());
            return 1;
        }
    }
    std::_Exit(0);
}
