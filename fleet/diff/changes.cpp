#include "fleet/diff/changes.h"

#include <algorithm>
#include <vector>

#include "doc/cp1252.h"
#include "doc/secret_names.h"
#include "fleet/formats/json_writer.h"
#include "fleet/station/station_row.h"
#include "fleet/station/text.h"

namespace {

// Appends document text to a line: as it is, or as UTF-8.
using AppendText = void (*)(std::string& out, const char* text, size_t size);

void append_as_is(std::string& out, const char* text, size_t size)
{
    out.append(text, size);
}

void append_as_utf8(std::string& out, const char* text, size_t size)
{
    append_utf8_from_cp1252(out, text, size);
}

template <AppendText append>
void put(std::string& out, const std::string& text)
{
    append(out, text.data(), text.size());
}

template <AppendText append>
void put_value(std::string& out, const ShownValue& value)
{
    if (value.absent) {
        out += "(none)";
        return;
    }
    // A control character shows as its code: a value never moves the
    // terminal's cursor nor begins a line of its own.
    const bool plain = std::none_of(value.text.begin(), value.text.end(),
                                    [](char c) { return is_control_byte(static_cast<unsigned char>(c)); });
    std::string escaped;
    if (!plain) {
        escaped = visible_text(value.text);
    }
    const std::string& text = plain ? value.text : escaped;
    if (!value.quoted) {
        put<append>(out, text);
        return;
    }
    out += '"';
    size_t run = 0;
    for (size_t quote = text.find('"'); quote != std::string::npos; quote = text.find('"', run)) {
        append(out, text.data() + run, quote - run);
        out += "\\\"";
        run = quote + 1;
    }
    append(out, text.data() + run, text.size() - run);
    out += '"';
}

template <AppendText append>
void put_change_text(std::string& out, const Change& change)
{
    put<append>(out, change.what);
    if (change.has_values) {
        out += ' ';
        put_value<append>(out, change.old_value);
        out += " -> ";
        put_value<append>(out, change.new_value);
    }
}

template <AppendText append>
void put_station_label(std::string& out, const std::string& id, const std::string& description)
{
    put<append>(out, visible_text(id));
    out += ' ';
    put<append>(out, quoted(description));
}

template <AppendText append>
void put_change_line(std::string& out, const Change& change)
{
    switch (change.kind) {
        case ChangeKind::top_level:
            out += "top level: ";
            put_change_text<append>(out, change);
            return;
        case ChangeKind::added:
            out += "added: ";
            put_station_label<append>(out, change.station, change.description);
            if (!change.what.empty()) {
                out += ": ";
                put<append>(out, change.what);
            }
            return;
        case ChangeKind::removed:
            out += "removed: ";
            put_station_label<append>(out, change.station, change.description);
            return;
        case ChangeKind::changed:
            put_station_label<append>(out, change.station, change.description);
            out += ": ";
            put_change_text<append>(out, change);
            return;
        case ChangeKind::note:
            out += "note: ";
            put<append>(out, change.what);
            return;
    }
}

}  // namespace

void append_change_line(std::string& out, const Change& change)
{
    put_change_line<append_as_utf8>(out, change);
}

void append_station_label(std::string& out, const std::string& id, const std::string& description)
{
    put_station_label<append_as_utf8>(out, id, description);
}

void append_change_text(std::string& out, const Change& change)
{
    put_change_text<append_as_utf8>(out, change);
}

void append_shown_value(std::string& out, const ShownValue& value)
{
    put_value<append_as_utf8>(out, value);
}

std::string change_line(const Change& change)
{
    std::string line;
    put_change_line<append_as_is>(line, change);
    return line;
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
