// Most stations of two files of one fleet are equal: a quick walk of both
// records settles them, and only the others are completed and compared
// value by value. What the values do not show (an element the editor does
// not use, a switch that does not change the mode) is still reported, from
// a walk of both records as stored, so that "same settings" is never said
// of two records that differ.
#include "fleet/diff/file_diff.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "fleet/diff/station_diff.h"
#include "fleet/station/element_diff.h"
#include "fleet/station/station_row.h"
#include "fleet/station/stations.h"
#include "fleet/station/text.h"

namespace {

// The stations of one file by id; each id's stations in document order.
class StationsById {
public:
    explicit StationsById(const std::vector<TiXmlElement*>& stations)
    {
        for (size_t i = 0; i < stations.size(); ++i) {
            indexes[id_of(stations[i])].push_back(i);
        }
    }
    static std::string_view id_of(const TiXmlElement* station) { return xml_get_attr_text(station, "id"); }
    const std::vector<size_t>& holders(std::string_view id) const
    {
        static const std::vector<size_t> none;
        auto found = indexes.find(id);
        return found == indexes.end() ? none : found->second;
    }
    // "12", or "12#2" for the second of the stations that share id 12.
    std::string label(const std::vector<TiXmlElement*>& stations, size_t index) const
    {
        const std::string_view id = id_of(stations[index]);
        const std::vector<size_t>& shared = holders(id);
        if (shared.size() < 2) {
            return std::string(id);
        }
        size_t occurrence = 0;
        while (shared[occurrence] != index) {
            ++occurrence;
        }
        return std::string(id) + "#" + std::to_string(occurrence + 1);
    }

private:
    std::unordered_map<std::string_view, std::vector<size_t>> indexes;
};

Change station_line(ChangeKind kind, std::string station, const TiXmlElement* element)
{
    Change line;
    line.kind = kind;
    line.station = std::move(station);
    line.description = xml_get_attr_text(element, "description");
    return line;
}

void diff_top_level(myXMLdocument& older, myXMLdocument& newer, const std::vector<TiXmlElement*>& old_stations,
                    const std::vector<TiXmlElement*>& new_stations, bool show_secrets, DiffReport& report)
{
    const TiXmlElement* old_root = older.find_path("/");
    const TiXmlElement* new_root = newer.find_path("/");
    std::unordered_set<const TiXmlElement*> listed(old_stations.begin(), old_stations.end());
    listed.insert(new_stations.begin(), new_stations.end());
    std::vector<Change> lines;
    if (std::string(xml_name(old_root)) != xml_name(new_root)) {
        lines.push_back(Change{ChangeKind::top_level, "", "", "root element", true,
                               ShownValue::of_word(xml_name(old_root)), ShownValue::of_word(xml_name(new_root))});
    }
    for (const ElementDifference& d :
         element_differences(old_root, new_root, [&](const TiXmlElement* e) { return listed.count(e) > 0; })) {
        Change line;
        line.kind = ChangeKind::top_level;
        line.what = d.path;
        if (d.attribute == nullptr) {
            line.what += d.old_value != nullptr ? " removed" : " added";
        } else {
            line.what += std::string(line.what.empty() ? "" : " ") + d.attribute;
            line.has_values = true;
            line.old_value = attribute_value(d.element, d.attribute, d.old_value, show_secrets);
            line.new_value = attribute_value(d.element, d.attribute, d.new_value, show_secrets);
        }
        lines.push_back(std::move(line));
    }
    report.top_level_changes = static_cast<int>(lines.size());
    report.changes.insert(report.changes.end(), lines.begin(), lines.end());
}

}  // namespace

DiffReport diff_documents(myXMLdocument& older, myXMLdocument& newer, bool show_secrets)
{
    DiffReport report;
    const std::vector<TiXmlElement*> old_stations = listed_stations(older);
    const std::vector<TiXmlElement*> new_stations = listed_stations(newer);
    diff_top_level(older, newer, old_stations, new_stations, show_secrets, report);

    // The k-th station of an id in the older file is the k-th of that id in
    // the newer one.
    const StationsById old_ids(old_stations), new_ids(new_stations);
    std::vector<long> partner_of_new(new_stations.size(), -1);
    std::vector<bool> paired_old(old_stations.size(), false);
    std::unordered_map<std::string_view, size_t> taken;
    for (size_t i = 0; i < old_stations.size(); ++i) {
        const std::string_view id = StationsById::id_of(old_stations[i]);
        const std::vector<size_t>& candidates = new_ids.holders(id);
        size_t& next = taken[id];
        if (next < candidates.size()) {
            partner_of_new[candidates[next++]] = static_cast<long>(i);
            paired_old[i] = true;
        }
    }

    std::vector<Change> notes, added, removed, changed;
    std::unordered_set<std::string_view> noted;
    auto note_shared_id = [&](const TiXmlElement* station) {
        const std::string_view id = StationsById::id_of(station);
        const size_t in_old = old_ids.holders(id).size(), in_new = new_ids.holders(id).size();
        if ((in_old > 1 || in_new > 1) && noted.insert(id).second) {
            Change note;
            note.kind = ChangeKind::note;
            note.what = "the id " + quoted(std::string(id)) + " is held by " + std::to_string(in_old) +
                        " stations in the old file and " + std::to_string(in_new) +
                        " in the new one; they are matched in document order";
            notes.push_back(std::move(note));
        }
    };
    for (size_t i = 0; i < new_stations.size(); ++i) {
        if (partner_of_new[i] < 0) {
            note_shared_id(new_stations[i]);
            added.push_back(station_line(ChangeKind::added, new_ids.label(new_stations, i), new_stations[i]));
            ++report.stations_added;
            continue;
        }
        TiXmlElement* old_station = old_stations[static_cast<size_t>(partner_of_new[i])];
        if (same_elements(old_station, new_stations[i])) {
            continue;
        }
        std::vector<Change> lines = station_changes(old_station, new_stations[i], show_secrets);
        if (lines.empty()) {
            continue;  // only the order of elements differs
        }
        note_shared_id(new_stations[i]);
        const std::string label = new_ids.label(new_stations, i);
        for (Change& line : lines) {
            line.station = label;
            line.description = xml_get_attr_text(new_stations[i], "description");
            changed.push_back(std::move(line));
        }
        ++report.stations_changed;
    }
    for (size_t i = 0; i < old_stations.size(); ++i) {
        if (!paired_old[i]) {
            note_shared_id(old_stations[i]);
            removed.push_back(station_line(ChangeKind::removed, old_ids.label(old_stations, i), old_stations[i]));
            ++report.stations_removed;
        }
    }
    for (std::vector<Change>* block : {&notes, &added, &removed, &changed}) {
        report.changes.insert(report.changes.end(), block->begin(), block->end());
    }
    return report;
}

std::string diff_summary(const DiffReport& report)
{
    auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return count(report.stations_changed, "station changed", "stations changed") + ", " +
           std::to_string(report.stations_added) + " added, " + std::to_string(report.stations_removed) + " removed; " +
           count(report.top_level_changes, "change", "changes") + " at the top level\n";
}
