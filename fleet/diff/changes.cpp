#include "fleet/diff/changes.h"

#include <vector>

#include "doc/cp1252.h"
#include "doc/secret_names.h"
#include "fleet/formats/json_writer.h"
#include "fleet/station/station_row.h"
#include "fleet/station/text.h"

std::string change_text(const Change& change)
{
    if (!change.has_values) {
        return change.what;
    }
    return change.what + " " + change.old_value.on_line() + " -> " + change.new_value.on_line();
}

std::string change_line(const Change& change)
{
    const std::string station = visible_text(change.station) + " " + quoted(change.description);
    switch (change.kind) {
        case ChangeKind::top_level:
            return "top level: " + change_text(change);
        case ChangeKind::added:
            return "added: " + station + (change.what.empty() ? "" : ": " + change.what);
        case ChangeKind::removed:
            return "removed: " + station;
        case ChangeKind::changed:
            return station + ": " + change_text(change);
        case ChangeKind::note:
            return "note: " + change.what;
    }
    return std::string();
}

std::string ShownValue::on_line() const
{
    return absent ? "(none)" : quoted ? ::quoted(text) : text;
}

ShownValue secret_value(const std::string& value, bool show_secrets)
{
    const std::string shown = shown_secret(value, show_secrets);
    return shown == value ? ShownValue::of_text(shown) : ShownValue::of_word(shown);
}

ShownValue attribute_value(const TiXmlElement* element, const char* attribute, const char* value, bool show_secrets)
{
    if (value == nullptr) {
        return ShownValue::none();
    }
    return is_secret_attribute(xml_name(element), attribute) ? secret_value(value, show_secrets)
                                                             : ShownValue::of_text(value);
}

namespace {

const char* kind_name(ChangeKind kind)
{
    switch (kind) {
        case ChangeKind::top_level:
            return "top level";
        case ChangeKind::added:
            return "added";
        case ChangeKind::removed:
            return "removed";
        case ChangeKind::changed:
            return "changed";
        case ChangeKind::note:
            return "note";
    }
    return "note";
}

}  // namespace

std::string changes_as_json(const std::vector<Change>& changes)
{
    std::vector<std::string> objects;
    for (const Change& change : changes) {
        const bool of_station = change.kind != ChangeKind::top_level && change.kind != ChangeKind::note;
        auto text = [](const std::string& cp1252) { return JsonValue::of(utf8_from_cp1252(cp1252)); };
        auto station_text = [&](const std::string& cp1252) { return of_station ? text(cp1252) : JsonValue::null(); };
        const bool whole_station = change.kind == ChangeKind::added || change.kind == ChangeKind::removed;
        auto value = [&](const ShownValue& shown) {
            return change.has_values && !shown.absent ? text(shown.text) : JsonValue::null();
        };
        objects.push_back(json_object({
            {"kind", JsonValue::of(kind_name(change.kind))},
            {"station", station_text(change.station)},
            {"description", station_text(change.description)},
            {"what", whole_station ? JsonValue::null() : text(change.what)},
            {"old", value(change.old_value)},
            {"new", value(change.new_value)},
        }));
    }
    return json_array(objects);
}
