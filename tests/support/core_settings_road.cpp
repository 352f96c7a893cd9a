#include "support/core_settings_road.h"

#include <cstdio>
#include <memory>

#include "doc/Lib_cpp.h"
#include "doc/top_level.h"
#include "doc/xml_load.h"
#include "doc/xml_precheck.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"
#include "station/station_values.h"

namespace {

bool write_file(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

std::string read_file(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, got);
    }
    fclose(file);
    return bytes;
}

// The text the parser is given: no byte order mark, LF line ends.
std::string text_as_parsed(const std::string& file_bytes)
{
    std::string text = file_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? file_bytes.substr(3) : file_bytes;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

// The main window after Open, followed by the operator pressing OK in the
// station dialog of every listed station.
void edit_document(myXMLdocument& document, std::string& problem)
{
    TopLevelElements top = bind_top_level(document);
    if (top.path_bin == nullptr || top.path_xml == nullptr || top.path_log == nullptr || top.comports == nullptr ||
        top.stations == nullptr || top.com_direct == nullptr || top.com_modem == nullptr) {
        problem = "the top level is incomplete after binding";
        return;
    }
    for (TiXmlElement* child = xml_first_child(top.stations); child != nullptr; child = xml_next_sibling(child)) {
        if (xml_text_equals(xml_name(child), "STATION")) {
            edit_station_as_dialogs_do(child);
        }
    }
}

size_t dumped_bytes = 0;

void count_dump_entry(const char* entry)
{
    while (*entry++ != '\0') {
        ++dumped_bytes;
    }
}

// Save as the File menu does it: the dump into the log, then the file.
bool save(myXMLdocument& document, const std::string& path, std::string& bytes, std::string& problem)
{
    set_log_destination(count_dump_entry);
    xml_dump(document.root, 0, -1);
    set_log_destination(nullptr);
    if (document.save_file(path.c_str())) {
        problem = "saving failed: " + document.error_text();
        return false;
    }
    bytes = read_file(path);
    return true;
}

}  // namespace

void edit_station_as_dialogs_do(TiXmlElement* station)
{
    const std::unique_ptr<TiXmlElement> working(xml_add_child(nullptr, "STATION"));
    edit_station_copy(station, working.get(), [](const StationParts& parts, StationValues&) {
        SequenceChoices choices;
        for (TiXmlElement* sequence :
             {parts.sequence(role_slow), parts.sequence(role_fast), parts.sequence(role_health)}) {
            reset_choices(choices);
            read_sequence(sequence, choices);
            rebuild_sequence(sequence, choices);
        }
        return true;
    });
}

int element_depth(const TiXmlDocument& doc)
{
    // Walked through the parent links: the tree may be deep.
    int deepest = 0;
    int depth = 0;
    const TiXmlNode* node = doc.FirstChild();
    while (node != nullptr) {
        if (node->ToElement() != nullptr && depth + 1 > deepest) {
            deepest = depth + 1;
        }
        if (node->FirstChild() != nullptr) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        while (node != nullptr && node->NextSibling() == nullptr) {
            node = node->Parent();
            --depth;
            if (node == &doc) {
                return deepest;
            }
        }
        node = node != nullptr ? node->NextSibling() : nullptr;
    }
    return deepest;
}

std::string check_settings_road(const std::string& file_bytes, const std::string& scratch_dir)
{
    const std::string input = scratch_dir + "/input.xml";
    const std::string first_path = scratch_dir + "/saved.xml";
    const std::string second_path = scratch_dir + "/saved_again.xml";
    if (!write_file(input, file_bytes)) {
        return "cannot write the input file";
    }

    // Open loads into a document of its own, as the File menu does.
    myXMLdocument document(nullptr);
    if (document.load_file(input.c_str()) == nullptr) {
        if (document.root != nullptr || document.error_text().empty()) {
            return "a refused file left a root or no reason";
        }
        return std::string();
    }
    const std::string parsed = text_as_parsed(file_bytes);
    const int counted = precheck_xml(parsed.c_str(), parsed.size(), max_element_nesting).deepest;
    const int depth = element_depth(*document.doc);
    if (depth > counted || depth > max_element_nesting) {
        return "the nesting check counted " + std::to_string(counted) + " levels, the tree has " +
               std::to_string(depth);
    }

    std::string problem;
    edit_document(document, problem);
    std::string first;
    if (!problem.empty() || !save(document, first_path, first, problem)) {
        return problem;
    }

    myXMLdocument reloaded(nullptr);
    if (reloaded.load_file(first_path.c_str()) == nullptr) {
        return "the saved file does not load: " + reloaded.error_text();
    }
    std::string second;
    if (!save(reloaded, second_path, second, problem)) {
        return problem;
    }
    if (second != first) {
        return "saving the reloaded document changed the file";
    }

    edit_document(reloaded, problem);
    if (!problem.empty() || !save(reloaded, second_path, second, problem)) {
        return problem;
    }
    if (second != first) {
        return "editing the saved document again changed the file";
    }
    return std::string();
}
