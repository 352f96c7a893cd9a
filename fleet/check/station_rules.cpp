// The rules on a station's values and on the shape of its record.
#include "fleet/check/station_rules.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "doc/secret_names.h"
#include "doc/text_parsers.h"
#include "doc/utf8.h"
#include "fleet/check/sms_length.h"
#include "fleet/station/station_row.h"

namespace {

bool is_phone_number(const std::string& text)
{
    return all_digits(std::string_view(text).substr(!text.empty() && text[0] == '+' ? 1 : 0));
}

// `element` is the parameter holding the number, or null for the station's own.
void check_phone_number(const StationUnderCheck& station, const std::string& number, const char* what,
                        const char* element, StationFindings& findings)
{
    if (!is_phone_number(number)) {
        findings.add(Severity::warning, "phone-number",
                     element != nullptr ? station.parameter_path(element) : station.path,
                     std::string(what) +
                         (number.empty() ? " is empty"
                                         : " " + quoted(number) + " is not digits with an optional leading \"+\""));
    }
}

void check_sms_text(const StationUnderCheck& station, StationFieldId id, StationFindings& findings)
{
    const StationField& field = station_fields[id];
    const std::string& text = station.values.text[id];
    const SmsLength sms = sms_length(text);
    if (sms.fits()) {
        return;
    }
    std::string message = std::string("the ") + field.label + " is " + std::to_string(sms.length) +
                          " characters long, more than one SMS holds (" + std::to_string(sms.limit);
    message += sms.outside_alphabet != 0
                   ? std::string(" as it holds \"") + sms.outside_alphabet + "\", which is outside the GSM alphabet)"
                   : " in the GSM alphabet)";
    findings.add(Severity::warning, "sms-length", station.parameter_path(field.element), message);
}

void check_time(const StationUnderCheck& station, const StationField& field, StationFindings& findings)
{
    const char* stored_text = parameter_text(station.completed->parts().cfg_parameters, field.element, "value");
    int32_t seconds = 0;
    if (parse_int(stored_text, &seconds, 0) == 0 && seconds % field.unit_seconds == 0 &&
        is_plain_integer(stored_text)) {
        return;  // the usual case, settled without building texts
    }
    const std::string stored = stored_text;
    const std::string shown = units_from_seconds(stored.c_str(), field.unit_seconds);
    const std::string stored_back = seconds_from_units(shown.c_str(), field.unit_seconds);
    const std::string unit = field.unit_seconds == seconds_per_hour ? "hours" : "minutes";
    std::string message;
    if (!is_plain_integer(stored)) {
        message = std::string(field.element) + " " + quoted(stored) +
                  " is not a decimal number of seconds: the station dialog shows " + shown + " " + field.unit +
                  " and its OK stores " + stored_back + " s";
    } else if (stored_back != stored) {
        message = std::string(field.element) + " is " + stored + " s, not a whole number of " + unit +
                  ": the station dialog's OK stores " + stored_back + " s (" + shown + " " + field.unit + ")";
    } else {
        return;
    }
    findings.add(Severity::warning, "timing", station.parameter_path(field.element), message);
}

void check_pin(const StationUnderCheck& station, StationFindings& findings)
{
    const TiXmlElement* record = station.completed->element();
    const std::string pin = xml_get_attr_text(record, "pin");
    const std::string pin_code = parameter_text(station.completed->parts().cfg_parameters, "PIN_CODE", "value");
    const bool stored_pin_code =
        xml_get_attr(find_parameter(station.stored.cfg_parameters, "PIN_CODE"), "value") != nullptr;
    if (!pin_code.empty() && pin_code != pin) {
        findings.add(Severity::warning, "pin", station.parameter_path("PIN_CODE"),
                     stored_pin_code ? "the station's pin differs from its PIN_CODE value: the station dialog shows "
                                       "the PIN_CODE value and its OK stores it as both"
                                     : "the station has neither a PIN_CODE value nor a pin: the station dialog "
                                       "shows the default PIN and its OK stores it as both");
    }
    const std::string& shown = station.values.text[field_pin];
    if (shown.size() < 4 || shown.size() > 8 || !all_digits(shown)) {
        findings.add(Severity::warning, "pin", station.parameter_path("PIN_CODE"),
                     shown.empty() ? "the PIN is empty, not 4 to 8 digits" : "the PIN is not 4 to 8 digits");
    }
}

const char* const unused = "the editor does not use this element and keeps it as it is";

// CONFIGURATION[value=2], or the name alone for an element without value;
// PASSWORD[value=****] for a secret.
std::string element_label(const TiXmlElement* element)
{
    const char* value = xml_get_attr(element, "value");
    if (value == nullptr) {
        return xml_name(element);
    }
    const bool secret = is_secret_attribute(xml_name(element), "value");
    return std::string(xml_name(element)) + "[value=" + (secret ? shown_secret(value, false) : value) + "]";
}

// Each parameter is the first element of its name; a later one, or a name
// the editor does not know, is kept without being read.
void note_unused_parameters(const StationUnderCheck& station, StationFindings& findings)
{
    std::vector<const char*> seen;
    seen.reserve(32);
    for (TiXmlElement* child = xml_first_child(station.stored.cfg_parameters); child != nullptr;
         child = xml_next_sibling(child)) {
        const char* name = xml_name(child);
        const bool repeated = std::any_of(seen.begin(), seen.end(), [name](const char* earlier) {
            return earlier[0] == name[0] && std::strcmp(earlier, name) == 0;
        });
        if (!repeated) {
            seen.push_back(name);
        }
        if (repeated || !is_parameter_name(name)) {
            findings.add(Severity::note, "unused", station.parameter_path(name), unused);
        }
    }
}

void note_unused_sequences(const StationUnderCheck& station, StationFindings& findings)
{
    for (TiXmlElement* child = xml_first_child(station.stored.cfg_sequences); child != nullptr;
         child = xml_next_sibling(child)) {
        bool used = false;
        for (int role = 0; role < sequence_role_count; ++role) {
            used = used || child == station.stored.sequence(role);
        }
        if (!used) {
            findings.add(Severity::note, "unused", station.path + "/CONFIGURATION[value=1]/" + element_label(child),
                         unused);
        }
    }
}

}  // namespace

std::string StationUnderCheck::parameter_path(const char* element) const
{
    return path + "/CONFIGURATION[value=0]/" + element;
}

std::string StationUnderCheck::sequence_path(int role) const
{
    return path + "/CONFIGURATION[value=1]/ACQUISITION_SEQUENCE[value=" + std::to_string(sequence_roles[role].value) +
           "]";
}

void StationFindings::add(Severity severity, const char* rule, std::string where, std::string message)
{
    Finding finding;
    finding.severity = severity;
    finding.rule = rule;
    finding.station = name;
    finding.where = std::move(where);
    finding.message = std::move(message);
    out.push_back(std::move(finding));
}

void check_station_values(const StationUnderCheck& station, StationFindings& findings)
{
    const char* id = xml_get_attr(station.record, "id");
    if (id != nullptr && !is_plain_integer(id)) {
        const std::string shown = std::to_string(xml_get_attr_int(station.record, "id"));
        findings.add(Severity::warning, "id", station.path,
                     std::string("the id ") + quoted(id) + " is not a plain number: the station dialog shows " + shown +
                         " and its OK stores " + shown);
    }
    check_pin(station, findings);
    check_phone_number(station, station.values.text[field_phone_nbr], "the phone number", nullptr, findings);
    check_phone_number(station, station.values.text[field_sms_number], "the SMS number", "SMS_NUMBER", findings);
    check_sms_text(station, field_sms_text_acq, findings);
    check_sms_text(station, field_sms_text_eol, findings);
    for (const StationField& field : station_fields) {
        if (field.source == FieldSource::parameter_time) {
            check_time(station, field, findings);
        }
    }
    if (station.values.text[field_gsm_mode] == gsm_mode_names[gsm_mode_gprs_push]) {
        for (StationFieldId id : {field_http_host, field_apn_name}) {
            if (station.values.text[id].empty()) {
                findings.add(Severity::warning, "gprs", station.parameter_path(station_fields[id].element),
                             std::string("the station pushes its data over GPRS but its ") + station_fields[id].label +
                                 " is empty");
            }
        }
    }
}

// A value of one line as the dialog's box shows it: a line break splits a
// row of the station list, and blanks at the ends of a host name, an access
// point or a user name make the station fail to connect without a word.
void check_station_texts(const StationUnderCheck& station, StationFindings& findings)
{
    const StationFieldId names[] = {field_http_host, field_http_url, field_username, field_apn_name,
                                    field_apn_username};
    for (const StationField& field : station_fields) {
        const StationFieldId id = static_cast<StationFieldId>(&field - station_fields);
        const std::string& text = station.values.text[id];
        if (field.source != FieldSource::station_text && field.source != FieldSource::parameter_text &&
            field.source != FieldSource::pin) {
            continue;
        }
        const std::string where = field.element != nullptr ? station.parameter_path(field.element) : station.path;
        const bool control = std::any_of(text.begin(), text.end(),
                                         [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; });
        if (control) {
            findings.add(Severity::warning, "text", where,
                         std::string("the ") + field.label +
                             " holds a line break or another control character, which its box cannot show");
        } else if (std::find(std::begin(names), std::end(names), id) != std::end(names) && !text.empty() &&
                   (text.front() == ' ' || text.back() == ' ')) {
            findings.add(Severity::warning, "text", where,
                         std::string("the ") + field.label + " " + quoted(text) + " has blanks at its ends");
        }
    }
}

void check_station_structure(const StationUnderCheck& station, StationFindings& findings)
{
    if (!station.missing.empty()) {
        std::string list;
        for (const std::string& piece : station.missing) {
            list += (list.empty() ? "" : ", ") + piece;
        }
        findings.add(Severity::note, "incomplete", station.path,
                     "the record lacks " + list +
                         "; the station dialog adds them with their defaults when it opens the station");
    }
    // In document order: the station's children, and inside the two
    // configurations the children the editor does not read.
    for (TiXmlElement* child = xml_first_child(station.record); child != nullptr; child = xml_next_sibling(child)) {
        if (child == station.stored.cfg_parameters) {
            note_unused_parameters(station, findings);
        } else if (child == station.stored.cfg_sequences) {
            note_unused_sequences(station, findings);
        } else {
            findings.add(Severity::note, "unused", station.path + "/" + element_label(child), unused);
        }
    }
}
