#include "fleet/change/apply.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "doc/top_level.h"
#include "fleet/station/element_diff.h"
#include "fleet/station/stations.h"
#include "fleet/station/stations_by_id.h"
#include "station/station_record.h"
#include "station/station_values.h"

namespace {

// The parts of the sequences.
unsigned sequence_parts()
{
    unsigned parts = 0;
    for (const SequenceRoleInfo& role : sequence_roles) {
        parts |= role.part;
    }
    return parts;
}

// What each name on the command line stands for.
struct PartName {
    std::string name;
    unsigned parts;
};
const std::vector<PartName>& part_names()
{
    static const std::vector<PartName> names = [] {
        std::vector<PartName> list = {{"gsm", part_gsm}, {"sms", part_sms}, {"timing", part_timing}};
        for (const SequenceRoleInfo& role : sequence_roles) {
            list.push_back({role.column, role.part});
        }
        list.push_back({"sequences", sequence_parts()});
        list.push_back({"all", part_gsm | part_sms | part_timing | sequence_parts()});
        return list;
    }();
    return names;
}

// A value of the parameter configuration that a part copies.
struct CopiedValue {
    unsigned part;
    const char* element;
    const char* attribute;
};
// The values of the station fields that a part copies; the GSM mode is its
// three switches.
const std::vector<CopiedValue>& copied_values()
{
    static const std::vector<CopiedValue> values = [] {
        std::vector<CopiedValue> list;
        for (const StationField& field : station_fields) {
            if (field.part == 0) {
                continue;
            }
            if (field.source == FieldSource::gsm_mode) {
                for (const GsmSwitch& gsm_switch : gsm_switches) {
                    list.push_back({field.part, field.element, gsm_switch.attribute});
                }
            } else {
                list.push_back({field.part, field.element, field.attribute});
            }
        }
        return list;
    }();
    return values;
}

// The parts among `parts` in which the target differs from the source.
unsigned differing_parts(const StationParts& source, const StationParts& target, unsigned parts)
{
    unsigned differing = 0;
    for (const CopiedValue& value : copied_values()) {
        if ((parts & value.part) != 0 &&
            std::string(xml_get_attr_text(find_parameter(source.cfg_parameters, value.element), value.attribute)) !=
                xml_get_attr_text(find_parameter(target.cfg_parameters, value.element), value.attribute)) {
            differing |= value.part;
        }
    }
    for (int role = 0; role < sequence_role_count; ++role) {
        if ((parts & sequence_roles[role].part) != 0 && !same_elements(source.sequence(role), target.sequence(role))) {
            differing |= sequence_roles[role].part;
        }
    }
    return differing;
}

// With `spares`, each copied sequence is made of the elements its spare
// holds, as far as they go (xml_copy_reusing).
void copy_parts(const StationParts& source, const StationParts& target, unsigned parts,
                const std::shared_ptr<TiXmlElement> (&spares)[sequence_role_count])
{
    for (const CopiedValue& value : copied_values()) {
        if ((parts & value.part) != 0) {
            xml_set_attr(find_parameter(target.cfg_parameters, value.element), value.attribute,
                         xml_get_attr_text(find_parameter(source.cfg_parameters, value.element), value.attribute));
        }
    }
    for (int role = 0; role < sequence_role_count; ++role) {
        if ((parts & sequence_roles[role].part) != 0) {
            // The target's sequence keeps its place in the record.
            xml_clear(target.sequence(role));
            xml_copy_reusing(target.sequence(role), source.sequence(role), spares[role].get());
        }
    }
}

// The target as it stands, for the lines of its changes. The sequences about
// to be replaced, most of a record, move into it rather than being copied:
// the target keeps them empty, to be filled with the source's.
std::shared_ptr<TiXmlElement> keep_original(TiXmlElement* target, unsigned changing)
{
    const StationParts stored = find_station_parts(target);
    std::unique_ptr<TiXmlElement> held[sequence_role_count];
    for (int role = 0; role < sequence_role_count; ++role) {
        if ((changing & sequence_roles[role].part) != 0 && stored.sequence(role) != nullptr) {
            held[role].reset(xml_add_child(nullptr, "ACQUISITION_SEQUENCE"));
            xml_swap_children(stored.sequence(role), held[role].get());
        }
    }
    std::shared_ptr<TiXmlElement> original = copy_of(target);
    const StationParts copied = find_station_parts(original.get());
    for (int role = 0; role < sequence_role_count; ++role) {
        if (held[role] != nullptr) {
            xml_swap_children(copied.sequence(role), held[role].get());
        }
    }
    return original;
}

// The same for a target complete as it stands of which only whole sequences
// change: nothing else of the record changes, so the sequences as they were
// are all the lines need. Each keeps its element's name and attributes.
void keep_replaced_sequences(const StationParts& stored, unsigned changing, ChangedStation& changed)
{
    for (int role = 0; role < sequence_role_count; ++role) {
        TiXmlElement* sequence = stored.sequence(role);
        if ((changing & sequence_roles[role].part) != 0 && sequence != nullptr) {
            changed.replaced_sequences[role].reset(xml_add_child(nullptr, xml_name(sequence)));
            for (const TiXmlAttribute* a = xml_first_attr(sequence); a != nullptr; a = xml_next_attr(a)) {
                xml_set_attr(changed.replaced_sequences[role].get(), xml_attr_name(a), xml_attr_value(a));
            }
            xml_swap_children(sequence, changed.replaced_sequences[role].get());
        }
    }
}

// The source and the targets that the ids name: the targets in the order
// named, each once, then with `all` every other station. An id that names
// no station, or more than one, is an error.
struct NamedStations {
    TiXmlElement* source = nullptr;
    std::vector<TiXmlElement*> targets;
};
NamedStations named_stations(myXMLdocument& document, const std::string& source_id,
                             const std::vector<std::string>& target_ids, bool all, std::vector<std::string>& errors)
{
    const std::vector<TiXmlElement*> stations = listed_stations(document);
    const StationsById by_id(stations);
    // The one station an id names, or an error.
    auto station_of = [&](const std::string& id) -> TiXmlElement* {
        const StationsById::Places found = by_id.holders(id);
        if (found.size() == 1) {
            return stations[found[0]];
        }
        errors.push_back(found.empty() ? "no station has the id " + id
                                       : "the id " + id + " is held by " + std::to_string(found.size()) +
                                             " stations, so it names none of them");
        return nullptr;
    };
    NamedStations named;
    named.source = station_of(source_id);
    std::unordered_set<std::string> seen;
    for (const std::string& id : target_ids) {
        if (!seen.insert(id).second) {
            continue;
        }
        if (id == source_id) {
            errors.push_back("the station " + id + " is the source: it cannot be a target too");
        } else if (TiXmlElement* target = station_of(id)) {
            named.targets.push_back(target);
        }
    }
    if (all) {
        for (TiXmlElement* station : stations) {
            if (station != named.source) {
                named.targets.push_back(station);
            }
        }
    }
    return named;
}

// Copies to one target the parts in which it differs from the source, and
// keeps in `changed` what the lines of its changes need. False, and the
// target as it stands, when it holds the parts already.
bool copy_to_target(const CompletedStation& from, TiXmlElement* target, unsigned parts,
                    std::shared_ptr<TiXmlElement> (&spares)[sequence_role_count], ChangedStation& changed)
{
    unsigned changing = 0;
    StationParts complete_parts;  // of a target complete as it stands
    {
        const CompletedStation completed(target);
        changing = differing_parts(from.parts(), completed.parts(), parts);
        if (completed.element() == target) {
            complete_parts = completed.parts();
        }
    }
    if (changing == 0) {
        return false;
    }
    changed.station = target;
    const bool complete = complete_parts.cfg_parameters != nullptr;
    if (complete && (changing & ~sequence_parts()) == 0) {
        keep_replaced_sequences(complete_parts, changing, changed);
    } else {
        changed.original = keep_original(target, changing);
    }
    // Moving the sequences' commands keeps their elements, and so the
    // parts found before.
    copy_parts(from.parts(), complete ? complete_parts : complete_station_defaults(target), changing, spares);
    for (std::shared_ptr<TiXmlElement>& spare : spares) {
        spare.reset();
    }
    return true;
}

}  // namespace

bool parse_apply_parts(const std::string& list, unsigned& parts, std::string& unknown)
{
    parts = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(',', start);
        std::string name = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t first = name.find_first_not_of(" \t");
        name =
            first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t") - first + 1);
        bool found = false;
        for (const PartName& known : part_names()) {
            if (name == known.name) {
                parts |= known.parts;
                found = true;
            }
        }
        if (!found) {
            unknown = name;
            return false;
        }
        if (end == std::string::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::string apply_part_names()
{
    std::string names;
    for (const PartName& name : part_names()) {
        names += std::string(names.empty() ? "" : ", ") + name.name;
    }
    return names;
}

ApplyOutcome apply_parts(myXMLdocument& document, const std::string& source_id,
                         const std::vector<std::string>& target_ids, bool all, unsigned parts,
                         const StationChanged& changed_now)
{
    ApplyOutcome outcome;
    bind_top_level(document);
    const NamedStations named = named_stations(document, source_id, target_ids, all, outcome.errors);
    if (!outcome.errors.empty()) {
        return outcome;
    }
    const CompletedStation from(named.source);
    // A source completed in a copy of its own: the copy goes with `from`.
    for (int role = 0; role < sequence_role_count && from.element() == named.source; ++role) {
        if ((parts & sequence_roles[role].part) != 0) {
            outcome.copied_sequences[role] = from.parts().sequence(role);
        }
    }
    // The sequences a target held before, once its lines are said, serve
    // for the copies of the next one: their elements are taken again rather
    // than freed and made anew, one by one, for every station.
    std::shared_ptr<TiXmlElement> spares[sequence_role_count];
    for (TiXmlElement* target : named.targets) {
        ChangedStation changed;
        if (!copy_to_target(from, target, parts, spares, changed)) {
            continue;  // a target that already holds the parts stays as it stands
        }
        outcome.stations.push_back(std::move(changed));
        std::copy(std::begin(outcome.copied_sequences), std::end(outcome.copied_sequences),
                  outcome.stations.back().copied_sequences);
        if (changed_now) {
            changed_now(outcome.stations.back());
            std::swap(spares, outcome.stations.back().replaced_sequences);
        }
    }
    return outcome;
}
