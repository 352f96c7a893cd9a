// Most stations of two files of one fleet are equal: a quick walk of both
// records settles them, and only the others are completed and compared
// value by value. What the values do not show (an element the editor does
// not use, a switch that does not change the mode) is still reported, from
// a walk of both records as stored, so that "same settings" is never said
// of two records that differ.
#include "fleet/diff/file_diff.h"

#include <string_view>
#include <unordered_set>
#include <utility>

#include "fleet/diff/station_diff.h"
#include "fleet/station/element_diff.h"
#include "fleet/station/station_row.h"
#include "fleet/station/stations.h"
#include "fleet/station/stations_by_id.h"
#include "fleet/station/text.h"

namespace {

// "12", or "12#2" for the second of the stations that share id 12.
std::string station_label(const StationsById& by_id, const std::vector<TiXmlElement*>& stations, size_t index)
{
    const std::string_view id = xml_get_attr_text(stations[index], "id");
    if (by_id.holders(id).size() < 2) {
        return std::string(id);
    }
    return std::string(id) + "#" + std::to_string(by_id.occurrence(id, static_cast<int>(index)) + 1);
}

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

// The stations of both files paired: the k-th station of an id in the
// older file is the k-th of that id in the newer one.
struct Pairs {
    std::vector<long> partner_of_new;  // the older station of each newer one; -1 for an added one
    std::vector<bool> paired_old;      // false for a removed one
};

Pairs paired_stations(const std::vector<TiXmlElement*>& old_stations, const std::vector<TiXmlElement*>& new_stations)
{
    StationsById new_ids(new_stations);
    Pairs pairs{std::vector<long>(new_stations.size(), -1), std::vector<bool>(old_stations.size(), false)};
    for (size_t i = 0; i < old_stations.size(); ++i) {
        const int partner = new_ids.take_next(xml_get_attr_text(old_stations[i], "id"));
        if (partner >= 0) {
            pairs.partner_of_new[static_cast<size_t>(partner)] = static_cast<long>(i);
            pairs.paired_old[i] = true;
        }
    }
    return pairs;
}

// A note, once an id, for each id that several stations of either file
// share and whose stations the diff names.
class SharedIdNotes {
public:
    SharedIdNotes(const StationsById& old_ids, const StationsById& new_ids) : old_ids(old_ids), new_ids(new_ids) {}
    void note(const TiXmlElement* station)
    {
        const std::string_view id = xml_get_attr_text(station, "id");
        const size_t in_old = old_ids.holders(id).size(), in_new = new_ids.holders(id).size();
        if ((in_old > 1 || in_new > 1) && noted.insert(id).second) {
            Change line;
            line.kind = ChangeKind::note;
            line.what = "the id " + quoted(std::string(id)) + " is held by " + std::to_string(in_old) +
                        " stations in the old file and " + std::to_string(in_new) +
                        " in the new one; they are matched in document order";
            notes.push_back(std::move(line));
        }
    }
    std::vector<Change> notes;

private:
    const StationsById& old_ids;
    const StationsById& new_ids;
    std::unordered_set<std::string_view> noted;
};

}  // namespace

DiffReport diff_documents(myXMLdocument& older, myXMLdocument& newer, bool show_secrets)
{
    DiffReport report;
    const std::vector<TiXmlElement*> old_stations = listed_stations(older);
    const std::vector<TiXmlElement*> new_stations = listed_stations(newer);
    diff_top_level(older, newer, old_stations, new_stations, show_secrets, report);

    const Pairs pairs = paired_stations(old_stations, new_stations);
    const StationsById old_ids(old_stations), new_ids(new_stations);
    SharedIdNotes shared(old_ids, new_ids);
    std::vector<Change> added, removed, changed;
    for (size_t i = 0; i < new_stations.size(); ++i) {
        if (pairs.partner_of_new[i] < 0) {
            shared.note(new_stations[i]);
            added.push_back(station_line(ChangeKind::added, station_label(new_ids, new_stations, i), new_stations[i]));
            ++report.stations_added;
            continue;
        }
        TiXmlElement* old_station = old_stations[static_cast<size_t>(pairs.partner_of_new[i])];
        if (same_elements(old_station, new_stations[i])) {
            continue;
        }
        std::vector<Change> lines = station_changes(old_station, new_stations[i], show_secrets);
        if (lines.empty()) {
            continue;  // only the order of elements differs
        }
        shared.note(new_stations[i]);
        const std::string label = station_label(new_ids, new_stations, i);
        for (Change& line : lines) {
            line.station = label;
            line.description = xml_get_attr_text(new_stations[i], "description");
            changed.push_back(std::move(line));
        }
        ++report.stations_changed;
    }
    for (size_t i = 0; i < old_stations.size(); ++i) {
        if (!pairs.paired_old[i]) {
            shared.note(old_stations[i]);
            removed.push_back(
                station_line(ChangeKind::removed, station_label(old_ids, old_stations, i), old_stations[i]));
            ++report.stations_removed;
        }
    }
    for (std::vector<Change>* block : {&shared.notes, &added, &removed, &changed}) {
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
