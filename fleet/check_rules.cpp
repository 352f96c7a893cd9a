// The check of one settings file: the top level, then every station of the
// list in document order, with the ids and phone numbers seen so far kept
// in hash maps so that a fleet of thousands is checked in one pass.
#include "fleet/check_rules.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "doc/top_level.h"
#include "fleet/check_station.h"

namespace {

const char* const top_level = "top level";
const char* const unused = "the editor does not use this element and keeps it as it is";

void add_top_level(CheckReport& report, Severity severity, std::string where, std::string message)
{
    report.findings.push_back(Finding{severity, top_level, std::move(where), std::move(message)});
}

std::string element_label(const TiXmlElement* element)
{
    std::string label = xml_name(element);
    const char* type = xml_get_attr(element, "type");
    return type != nullptr ? label + "[type=" + type + "]" : label;
}

// Binding the top level only ever appends, so what it adds is what follows
// the last element that was there before.
void note_added(const TiXmlElement* parent, const TiXmlElement* last_before, std::string& added)
{
    const TiXmlElement* first_new = last_before != nullptr ? xml_next_sibling(last_before) : xml_first_child(parent);
    for (const TiXmlElement* e = first_new; e != nullptr; e = xml_next_sibling(e)) {
        added += (added.empty() ? "" : ", ") + element_label(e);
    }
}

const TiXmlElement* last_child(const TiXmlElement* parent)
{
    const TiXmlElement* last = nullptr;
    for (const TiXmlElement* e = xml_first_child(parent); e != nullptr; e = xml_next_sibling(e)) {
        last = e;
    }
    return last;
}

void check_top_level(myXMLdocument& document, CheckReport& report)
{
    TiXmlElement* root = document.find_path("/");
    const std::string root_path = xml_name(root);
    TiXmlElement* comports_before = document.find_path("/COMPORTS");
    const TiXmlElement* last_top = last_child(root);
    const TiXmlElement* last_port = last_child(comports_before);
    const TopLevelElements top = bind_top_level(document);

    std::string added;
    note_added(root, last_top, added);
    if (comports_before != nullptr) {
        note_added(comports_before, last_port, added);
    }
    if (!added.empty()) {
        add_top_level(report, Severity::note, root_path,
                      "the file lacks " + added + "; the editor adds them with their defaults when it opens the file");
    }

    const TiXmlElement* used[] = {top.path_bin, top.path_xml, top.path_log, top.comports, top.stations};
    for (const TiXmlElement* child = xml_first_child(root); child != nullptr; child = xml_next_sibling(child)) {
        if (std::find(std::begin(used), std::end(used), child) != std::end(used)) {
            continue;
        }
        const bool holds_stations = xml_text_equals(xml_name(child), "STATIONS") && xml_first_child(child) != nullptr;
        add_top_level(report, Severity::note, root_path + "/" + xml_name(child),
                      holds_stations ? "the editor lists only the stations of the first STATIONS element and keeps "
                                       "this one as it is"
                                     : unused);
    }
    for (const TiXmlElement* port = xml_first_child(top.comports); port != nullptr; port = xml_next_sibling(port)) {
        if (port != top.com_direct && port != top.com_modem) {
            const bool is_port = xml_text_equals(xml_name(port), "COMPORT");
            add_top_level(report, Severity::note, root_path + "/COMPORTS/" + element_label(port),
                          !is_port ? unused
                          : xml_attr_equals(port, "type", "direct") || xml_attr_equals(port, "type", "modem")
                              ? "a later port of the same type is the one the editor shows; it keeps this one as it is"
                              : "a port neither direct nor modem: the editor does not show it and keeps it as it is");
        }
    }
    for (const TiXmlElement* child = xml_first_child(top.stations); child != nullptr; child = xml_next_sibling(child)) {
        if (!xml_text_equals(xml_name(child), "STATION")) {
            add_top_level(report, Severity::note, root_path + "/STATIONS/" + xml_name(child), unused);
        }
    }
}

// Ids and phone numbers point into the document, which outlives the check.
class SharedValues {
public:
    // The position of the first station that holds `value`; 0 for the first.
    int first_holder(const char* value, int position)
    {
        return first.emplace(std::string_view(value), position).first->second;
    }

private:
    std::unordered_map<std::string_view, int> first;
};

void check_shared(TiXmlElement* station, int position, const std::vector<TiXmlElement*>& stations, SharedValues& ids,
                  SharedValues& phones, StationFindings& findings, const std::string& path)
{
    const char* id = xml_get_attr(station, "id");
    const int id_holder = id != nullptr ? ids.first_holder(id, position) : position;
    if (id_holder != position) {
        findings.add(Severity::warning, path,
                     "the station at position " + std::to_string(position) +
                         " of the list shares its id with the "
                         "station at position " +
                         std::to_string(id_holder) + " (" +
                         quoted(xml_get_attr_text(stations[id_holder - 1], "description")) + ")");
    }
    const char* phone = xml_get_attr(station, "phone_nbr");
    const int phone_holder = phone != nullptr && *phone != '\0' ? phones.first_holder(phone, position) : position;
    if (phone_holder != position) {
        findings.add(Severity::warning, path,
                     "the phone number " + quoted(phone) + " is also the phone number of station " +
                         station_name(stations[phone_holder - 1], phone_holder) + " at position " +
                         std::to_string(phone_holder));
    }
}

}  // namespace

const char* severity_name(Severity severity)
{
    switch (severity) {
        case Severity::error:
            return "error";
        case Severity::warning:
            return "warning";
        case Severity::note:
            return "note";
    }
    return "note";
}

CheckReport check_document(myXMLdocument& document)
{
    CheckReport report;
    check_top_level(document, report);
    const std::vector<TiXmlElement*> stations = listed_stations(document);
    report.stations = static_cast<int>(stations.size());
    SharedValues ids, phones;
    SequenceChoices scratch;
    for (size_t index = 0; index < stations.size(); ++index) {
        const int position = static_cast<int>(index) + 1;
        StationUnderCheck station;
        station.record = stations[index];
        station.stored = find_station_parts(station.record);
        station.missing = missing_station_pieces(station.record, station.stored);
        const CompletedStation completed(station.record, station.stored, station.missing.empty());
        station.completed = &completed;
        station.values = load_station_values(completed.element(), completed.parts());
        station.path = station_path(station.record, position);

        StationFindings findings(report.findings, station_name(station.record, position));
        check_shared(station.record, position, stations, ids, phones, findings, station.path);
        check_station_values(station, findings);
        check_station_sequences(station, scratch, findings);
        check_station_structure(station, findings);
    }
    return report;
}

CheckReport check_settings_file(myXMLdocument& document, const char* file_name)
{
    if (document.load_file(file_name) == nullptr) {
        CheckReport report;
        report.refused = true;
        report.reason = document.error_text();
        report.findings.push_back(
            Finding{Severity::error, top_level, std::string(), "the editor refuses the file: " + report.reason});
        return report;
    }
    return check_document(document);
}
