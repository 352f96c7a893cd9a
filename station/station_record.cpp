// Completion of a STATION record: every missing piece is appended with the
// default of a new station, and nothing that is present is ever touched, so
// older records gain new parameters without losing what the operator set.
#include "station/station_record.h"

#include <cstring>

namespace {

struct AttributeDefault {
    const char* attribute;
    const char* value;
};

struct ParameterDefault {
    const char* element;
    const char* attribute;
    const char* value;
};

// The identity of a new station, until the operator types the real one.
const AttributeDefault station_defaults[] = {
    {"id", "100"},
    {"phone_nbr", "330000000000"},
    {"pin", "6852"},
    {"description", "new station"},
};

// The parameter configuration of a new station, in the order it is created.
// Times are in seconds. With these switches a new station calls in over GSM
// data; `pin` above and PIN_CODE hold the same SIM PIN.
const ParameterDefault parameter_defaults[] = {
    {"SYSCTRL", "acq_enabled", "on"},
    {"SYSCTRL", "acq_automatic", "on"},
    {"SYSCTRL", "acq_dump", "on"},
    {"SYSCTRL", "flash_store", "on"},
    {"SYSCTRL", "acq_on_ring", "off"},
    {"SYSCTRL", "acq_fast_interval", "on"},
    {"SYSCTRL", "gsm_enabled", "on"},
    {"SYSCTRL", "gsm_call", "off"},
    {"SYSCTRL", "gprs", "off"},
    {"SYSCTRL", "call_on_ring", "off"},
    {"SYSCTRL", "time_zone", "2"},
    {"HTTP_HOST", "host", "data.kestrane.example"},
    {"HTTP_HOST", "port", "80"},
    {"HTTP_URL", "value", "/gprs/default.php"},
    {"USERNAME", "value", "kestrane"},
    {"PASSWORD", "value", "pqwz"},
    {"GPRS_APN_USERNAME", "value", ""},
    {"GPRS_APN_PASSWORD", "value", ""},
    {"GPRS_APN_NAME", "value", "internet.operator.example"},
    {"ACQ_INTERVAL0", "value", "900"},
    {"ACQ_INTERVAL1", "value", "300"},
    {"GSM_INTERVAL", "value", "86400"},
    {"GSM_DURATION", "value", "600"},
    {"GSM_SMS_DURATION", "value", "900"},
    {"SMS_NUMBER", "value", "0600000000"},
    {"SMS_TEXT_ACQ", "value", "ALARM ! NUXO "},
    {"SMS_TEXT_EOL", "value", "Low Bat. NUXO "},
    {"SYSTEM_CONFIG", "filter", "4"},
    {"SYSTEM_CONFIG", "acq_number", "0"},
    {"SYSTEM_CONFIG", "gsm_number", "0"},
    {"PIN_CODE", "value", "6852"},
};

// Every new sequence measures the battery voltage and nothing else.
const ParameterDefault default_sequence[] = {
    {"PROBES_POWER", "state", "1"},
    {"ACQ_VBAT", "channel", "0"},
    {"PROBES_POWER", "state", "0"},
};

const int role_parameters = 0;
const int role_sequences = 1;
const int sequence_roles = 3;  // Slow, Fast, Health

// Scans the direct children named `name` (any letter case) and files each by
// the integer of its `value`; a later element of a role replaces an earlier one.
void find_roles(TiXmlElement* parent, const char* name, TiXmlElement** roles, int role_count)
{
    for (TiXmlElement* child = xml_first_child(parent); child != nullptr; child = xml_next_sibling(child)) {
        if (!xml_text_equals(xml_name(child), name)) {
            continue;
        }
        int role = xml_get_attr_int(child, "value");
        if (role >= 0 && role < role_count) {
            roles[role] = child;
        }
    }
}

void set_missing_attr(TiXmlElement* element, const char* attribute, const char* value)
{
    if (xml_get_attr(element, attribute) == nullptr) {
        xml_set_attr(element, attribute, value);
    }
}

TiXmlElement* append_with_role(TiXmlElement* parent, const char* name, int role)
{
    TiXmlElement* element = xml_add_child(parent, name);
    xml_set_attr_int(element, "value", role);
    return element;
}

}  // namespace

StationParts complete_station_defaults(TiXmlElement* station)
{
    StationParts parts;
    if (station == nullptr) {
        return parts;
    }
    for (const AttributeDefault& d : station_defaults) {
        set_missing_attr(station, d.attribute, d.value);
    }

    TiXmlElement* configurations[2] = {nullptr, nullptr};
    find_roles(station, "CONFIGURATION", configurations, 2);
    if (configurations[role_parameters] == nullptr) {
        configurations[role_parameters] = append_with_role(station, "CONFIGURATION", role_parameters);
    }
    if (configurations[role_sequences] == nullptr) {
        configurations[role_sequences] = append_with_role(station, "CONFIGURATION", role_sequences);
    }
    parts.cfg_parameters = configurations[role_parameters];
    parts.cfg_sequences = configurations[role_sequences];

    TiXmlElement* sequences[sequence_roles] = {nullptr, nullptr, nullptr};
    find_roles(parts.cfg_sequences, "ACQUISITION_SEQUENCE", sequences, sequence_roles);
    for (int role = 0; role < sequence_roles; ++role) {
        if (sequences[role] != nullptr) {
            continue;
        }
        sequences[role] = append_with_role(parts.cfg_sequences, "ACQUISITION_SEQUENCE", role);
        for (const ParameterDefault& command : default_sequence) {
            xml_set_attr(xml_add_child(sequences[role], command.element), command.attribute, command.value);
        }
    }
    parts.seq_slow = sequences[0];
    parts.seq_fast = sequences[1];
    parts.seq_health = sequences[2];

    for (const ParameterDefault& d : parameter_defaults) {
        ensure_parameter(parts.cfg_parameters, d.element, d.attribute, d.value);
    }
    return parts;
}

TiXmlElement* ensure_parameter(TiXmlElement* cfg_parameters, const char* element_name, const char* attribute,
                               const char* default_value)
{
    if (cfg_parameters == nullptr || element_name == nullptr) {
        return nullptr;
    }
    // Parameter names are matched exactly: a "sysctrl" is not the SYSCTRL the
    // station reads, so a real one is appended beside it.
    TiXmlElement* parameter = xml_first_child(cfg_parameters);
    while (parameter != nullptr && std::strcmp(xml_name(parameter), element_name) != 0) {
        parameter = xml_next_sibling(parameter);
    }
    if (parameter == nullptr) {
        parameter = xml_add_child(cfg_parameters, element_name);
    }
    set_missing_attr(parameter, attribute, default_value);
    return parameter;
}
