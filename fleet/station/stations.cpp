#include "fleet/station/stations.h"

#include "fleet/station/text.h"

std::vector<TiXmlElement*> listed_stations(myXMLdocument& document)
{
    std::vector<TiXmlElement*> stations;
    for (TiXmlElement* child = xml_first_child(document.find_path("/STATIONS")); child != nullptr;
         child = xml_next_sibling(child)) {
        if (xml_text_equals(xml_name(child), "STATION")) {
            stations.push_back(child);
        }
    }
    return stations;
}

CompletedStation::CompletedStation(TiXmlElement* station)
    : CompletedStation(station, find_station_parts(station), missing_station_pieces(station).empty())
{
}

CompletedStation::CompletedStation(TiXmlElement* station, const StationParts& stored, bool complete)
{
    if (complete) {
        record = station;
        pieces = stored;
        return;
    }
    copy.reset(xml_add_child(nullptr, "STATION"));
    xml_copy(copy.get(), station);
    record = copy.get();
    pieces = complete_station_defaults(record);
}

std::shared_ptr<TiXmlElement> copy_of(const TiXmlElement* station)
{
    std::shared_ptr<TiXmlElement> copy(xml_add_child(nullptr, "STATION"));
    xml_copy(copy.get(), station);
    return copy;
}

std::shared_ptr<TiXmlElement> copy_but_sequences(TiXmlElement* station)
{
    const StationParts parts = find_station_parts(station);
    // The commands step aside while the rest is copied, then come back.
    std::unique_ptr<TiXmlElement> held[sequence_role_count];
    for (int role = 0; role < sequence_role_count; ++role) {
        if (parts.sequence(role) != nullptr) {
            held[role].reset(xml_add_child(nullptr, "ACQUISITION_SEQUENCE"));
            xml_swap_children(parts.sequence(role), held[role].get());
        }
    }
    std::shared_ptr<TiXmlElement> copy = copy_of(station);
    for (int role = 0; role < sequence_role_count; ++role) {
        if (held[role] != nullptr) {
            xml_swap_children(parts.sequence(role), held[role].get());
        }
    }
    return copy;
}

std::string station_name(const TiXmlElement* station, int position)
{
    const char* id = xml_get_attr(station, "id");
    return id != nullptr ? visible_text(id) : "#" + std::to_string(position);
}

std::string station_path(const TiXmlElement* station, int position)
{
    const char* id = xml_get_attr(station, "id");
    return id != nullptr ? "STATION[id=" + visible_text(id) + "]" : "STATION[#" + std::to_string(position) + "]";
}
