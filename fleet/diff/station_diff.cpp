#include "fleet/diff/station_diff.h"

#include <algorithm>
#include <cstring>

#include "fleet/station/element_diff.h"
#include "fleet/station/sequence_text.h"
#include "fleet/station/stations.h"
#include "fleet/station/text.h"
#include "station/station_values.h"

namespace {

Change change(std::string what, ShownValue old_value, ShownValue new_value)
{
    return Change{ChangeKind::changed, "", "", std::move(what), true, std::move(old_value), std::move(new_value)};
}

Change remark(std::string what)
{
    return Change{ChangeKind::changed, "", "", std::move(what), false, ShownValue(), ShownValue()};
}

// A time as the dialog's unit when it is a whole number of them ("15 min",
// "24 h"), else in seconds ("630 s"), else the text as stored.
ShownValue time_value(const std::string& seconds, const StationField& field)
{
    if (!is_plain_integer(seconds)) {
        return ShownValue::of_text(seconds);
    }
    const long long value = std::stoll(seconds);
    return ShownValue::of_word(value % field.unit_seconds == 0
                                   ? std::to_string(value / field.unit_seconds) + " " + field.unit
                                   : seconds + " s");
}

void value_changes(const CompletedStation& older, const CompletedStation& newer, bool show_secrets,
                   std::vector<Change>& lines, bool changed[station_field_count])
{
    // Every value comes from the station's own attributes or from its
    // parameter configuration: where both are as they were, none changed.
    if (older.parts().cfg_parameters != nullptr && newer.parts().cfg_parameters != nullptr &&
        same_attributes(older.element(), newer.element()) &&
        same_elements(older.parts().cfg_parameters, newer.parts().cfg_parameters)) {
        std::fill(changed, changed + station_field_count, false);
        return;
    }
    const StationValues old_values = load_station_values(older.element(), older.parts());
    const StationValues new_values = load_station_values(newer.element(), newer.parts());
    for (int id = 0; id < station_field_count; ++id) {
        const StationField& field = station_fields[id];
        changed[id] = false;
        if (id == field_id) {
            continue;  // the stations were matched by it
        }
        std::string before = old_values.text[id], after = new_values.text[id];
        // Times compare as the seconds they hold, not as the minutes shown:
        // the stations count seconds, so 630 is not 600.
        if (field.source == FieldSource::parameter_time) {
            before = parameter_text(older.parts().cfg_parameters, field.element, field.attribute);
            after = parameter_text(newer.parts().cfg_parameters, field.element, field.attribute);
        }
        if (before == after) {
            continue;
        }
        changed[id] = true;
        if (field.source == FieldSource::parameter_time) {
            lines.push_back(change(field.label, time_value(before, field), time_value(after, field)));
        } else if (field.is_secret()) {
            lines.push_back(change(field.label, secret_value(before, show_secrets), secret_value(after, show_secrets)));
        } else {
            lines.push_back(change(field.label, ShownValue::of_text(before), ShownValue::of_text(after)));
        }
    }
}

std::string measured(bool selected, std::string condition)
{
    if (!selected) {
        return "not measured";
    }
    return condition.empty() ? "measured" : condition.insert(0, "measured, ");
}

std::string output_change_value(const OutputChange& change)
{
    return change.on ? output_change_text(change) : "off";
}

// True when the channel's choices read the same on a line, settled without
// building the texts: most channels of two sequences are alike.
bool same_channel(const ChannelChoice& a, const ChannelChoice& b, const Channel& channel)
{
    if (a.selected != b.selected) {
        return false;
    }
    auto compared = [&](const ChannelChoice& choice) {
        return channel.has_threshold && (choice.comparison == compare_ge || choice.comparison == compare_lt);
    };
    return !a.selected || (compared(a) == compared(b) &&
                           (!compared(a) || (a.comparison == b.comparison && a.threshold == b.threshold)));
}

void sequence_changes(const TiXmlElement* older, const TiXmlElement* newer, const char* name,
                      const SequenceChoices* known, std::vector<Change>& lines)
{
    if (older != nullptr && newer != nullptr && same_elements(older, newer)) {
        return;  // the same commands make the same choices
    }
    SequenceChoices a, read;
    read_sequence(older, a);
    if (known == nullptr) {
        read_sequence(newer, read);
    }
    const SequenceChoices& b = known != nullptr ? *known : read;
    const size_t before = lines.size();
    const std::string prefix = std::string(name) + ": ";
    auto compare = [&](const char* what, std::string old_value, std::string new_value) {
        if (old_value != new_value) {
            lines.push_back(change(prefix + what, ShownValue::of_word(std::move(old_value)),
                                   ShownValue::of_word(std::move(new_value))));
        }
    };
    compare("Measure VBat", measured(a.vbat, battery_condition(a)), measured(b.vbat, battery_condition(b)));
    for (size_t row = 0; row < channel_count; ++row) {
        const Channel& channel = channel_catalogue[row];
        if (same_channel(a.channels[row], b.channels[row], channel)) {
            continue;
        }
        compare(channel.caption, measured(a.channels[row].selected, channel_condition(a.channels[row], channel)),
                measured(b.channels[row].selected, channel_condition(b.channels[row], channel)));
    }
    compare("Send SMS if threshold pass", a.sms ? "on" : "off", b.sms ? "on" : "off");
    compare("Change digital outputs if threshold pass (1)", output_change_value(a.out1), output_change_value(b.out1));
    compare("Change digital outputs if threshold pass (2)", output_change_value(a.out2), output_change_value(b.out2));
    if (lines.size() == before && !same_elements(older, newer)) {
        lines.push_back(remark(prefix + "same choices, different commands"));
    }
}

// The value of the dialog that an attribute of the stored record holds, or
// null for one the dialog does not show.
const StationField* field_of(const ElementDifference& difference, const TiXmlElement* station,
                             const StationParts& parts)
{
    const char* attribute = difference.attribute;
    for (const StationField& field : station_fields) {
        if (difference.element == station) {
            const bool pin = field.source == FieldSource::pin && std::strcmp(attribute, "pin") == 0;
            const bool text = field.source == FieldSource::station_text && std::strcmp(attribute, field.attribute) == 0;
            if (pin || text) {
                return &field;
            }
        } else if (field.element != nullptr &&
                   find_parameter(parts.cfg_parameters, field.element) == difference.element) {
            const bool mode = field.source == FieldSource::gsm_mode &&
                              (std::strcmp(attribute, "gsm_enabled") == 0 || std::strcmp(attribute, "gsm_call") == 0 ||
                               std::strcmp(attribute, "gprs") == 0);
            if (mode || (field.attribute != nullptr && std::strcmp(attribute, field.attribute) == 0)) {
                return &field;
            }
        }
    }
    return nullptr;
}

void record_changes(TiXmlElement* older, TiXmlElement* newer, bool show_secrets, const bool changed[],
                    std::vector<Change>& lines)
{
    const StationParts old_parts = find_station_parts(older), new_parts = find_station_parts(newer);
    // Sequences held by both records were compared as choices.
    auto compared_sequence = [&](const TiXmlElement* element) {
        for (int role = 0; role < sequence_role_count; ++role) {
            const TiXmlElement* old_sequence = old_parts.sequence(role);
            const TiXmlElement* new_sequence = new_parts.sequence(role);
            if (old_sequence != nullptr && new_sequence != nullptr &&
                (element == old_sequence || element == new_sequence)) {
                return true;
            }
        }
        return false;
    };
    for (const ElementDifference& d : element_differences(older, newer, compared_sequence)) {
        if (d.attribute == nullptr) {
            lines.push_back(remark(d.path + (d.old_value != nullptr ? " removed" : " added")));
            continue;
        }
        const StationField* field = d.element != nullptr ? field_of(d, newer, new_parts) : nullptr;
        if (field != nullptr && changed[field - station_fields]) {
            continue;  // said by the value's own line
        }
        // A secret is told by its names, not by the value the dialog shows:
        // a second PIN_CODE or an extra attribute of PASSWORD is one too.
        lines.push_back(change((d.path.empty() ? "STATION" : d.path) + " " + d.attribute,
                               attribute_value(d.element, d.attribute, d.old_value, show_secrets),
                               attribute_value(d.element, d.attribute, d.new_value, show_secrets)));
    }
}

}  // namespace

std::vector<Change> station_changes(TiXmlElement* older, TiXmlElement* newer, bool show_secrets,
                                    const NewerChoices& known, bool sequences_stayed)
{
    std::vector<Change> lines;
    lines.reserve(64);  // three sequences copied over others change a few dozen
    const CompletedStation old_completed(older), new_completed(newer);
    bool changed[station_field_count];
    value_changes(old_completed, new_completed, show_secrets, lines, changed);
    const StationParts& a = old_completed.parts();
    const StationParts& b = new_completed.parts();
    for (int role = 0; role < sequence_role_count && !sequences_stayed; ++role) {
        sequence_changes(a.sequence(role), b.sequence(role), sequence_roles[role].caption, known.choices[role], lines);
    }
    record_changes(older, newer, show_secrets, changed, lines);
    return lines;
}

std::vector<Change> replaced_sequence_changes(const std::shared_ptr<TiXmlElement> (&older)[sequence_role_count],
                                              TiXmlElement* newer, const NewerChoices& known)
{
    std::vector<Change> lines;
    lines.reserve(64);  // as station_changes: a few dozen
    const StationParts parts = find_station_parts(newer);
    for (int role = 0; role < sequence_role_count; ++role) {
        if (older[role] != nullptr) {
            sequence_changes(older[role].get(), parts.sequence(role), sequence_roles[role].caption, known.choices[role],
                             lines);
        }
    }
    return lines;
}
