// Floors of the fleet tool's ratios, each in a fresh process that ends
// without freeing its documents, as the tool ends once it has written its
// report: the floor is the loading (and saving), not the freeing.
//
//   zantor_bench_fleet_floor [--save OUT] FILE...
//       TinyXML's LoadFile of each file, in the single-byte mode the tool
//       reads settings files in; with --save the last one is then written
//       to OUT with SaveFile. Nothing of the editor's own code runs.
//   zantor_bench_fleet_floor --open [--save OUT] FILE...
//       The editor's Open of each file through the core, without a window:
//       myXMLdocument::load_file (the loader's checks, then the parse) and
//       the completion of the top level. With --save the last one is then
//       written to OUT by save_file, the editor's safe save.
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/top_level.h"

namespace {

int load_with_tinyxml(const char* save_to, char** files, int count)
{
    std::vector<std::unique_ptr<TiXmlDocument>> documents;
    for (int i = 0; i < count; ++i) {
        documents.emplace_back(new TiXmlDocument());
        if (!documents.back()->LoadFile(files[i], TIXML_ENCODING_LEGACY)) {
            std::fprintf(stderr, "zantor_bench_fleet_floor: cannot load %s: %s\n", files[i],
                         documents.back()->ErrorDesc());
            return 1;
        }
    }
    if (save_to != nullptr && (documents.empty() || !documents.back()->SaveFile(save_to))) {
        std::fprintf(stderr, "zantor_bench_fleet_floor: cannot save %s\n", save_to);
        return 1;
    }
    return 0;
}

int open_as_the_editor(const char* save_to, char** files, int count)
{
    std::vector<std::unique_ptr<myXMLdocument>> documents;
    for (int i = 0; i < count; ++i) {
        documents.emplace_back(new myXMLdocument(nullptr));
        if (documents.back()->load_file(files[i]) == nullptr) {
            std::fprintf(stderr, "zantor_bench_fleet_floor: cannot open %s: %s\n", files[i],
                         documents.back()->error_text().c_str());
            return 1;
        }
        bind_top_level(*documents.back());
    }
    if (save_to != nullptr && (documents.empty() || documents.back()->save_file(save_to))) {
        std::fprintf(stderr, "zantor_bench_fleet_floor: cannot save %s\n", save_to);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    const bool open = first < argc && std::strcmp(argv[first], "--open") == 0;
    first += open ? 1 : 0;
    const char* save_to = nullptr;
    if (first + 1 < argc && std::strcmp(argv[first], "--save") == 0) {
        save_to = argv[first + 1];
        first += 2;
    }
    const int status = open ? open_as_the_editor(save_to, argv + first, argc - first)
                            : load_with_tinyxml(save_to, argv + first, argc - first);
    std::fflush(stderr);
    std::_Exit(status);
}
