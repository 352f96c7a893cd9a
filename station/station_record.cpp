// Completion of a STATION record: every missing piece is appended with the
// default of a new station, and nothing that is present is ever touched, so
// older records gain new parameters without losing what the operator set.
#include "station/station_record.h"

#include <cstring>

#include "station/station_values.h"

// clang-format off
const SequenceRoleInfo sequence_roles[sequence_role_count] = {
    {"Slow",   "Slow sequence",   "slow",   part_slow,   0},
    {"Fast",   "Fast sequence",   "fast",   part_fast,   1},
    {"Health", "Health sequence", "health", part_health, 2},
};
// clang-format on

namespace {

// A STATION attribute of a new station: the default of the field that
// shows it.
struct AttributeDefault {
    const char* attribute;
    StationFieldId field;
};

// An attribute of the parameter configuration of a new station: the default
// of the field that shows it, or a value of its own for an attribute that no
// field shows.
struct ParameterDefault {
    const char* element;
    const char* attribute;
    int field;  // a StationFieldId, or no_field
    const char* value;
};
const int no_field = -1;

// One command of a new sequence.
struct SequenceCommand {
    const char* element;
    const char* attribute;
    const char* value;
};

// The identity of a new station, until the operator types the real one, in
// the order its attributes are created.
const AttributeDefault station_defaults[] = {
    {"id", field_id},
    {"phone_nbr", field_phone_nbr},
    {"pin", field_pin},
    {"description", field_description},
};

// The parameter configuration of a new station, in the order it is created.
// `pin` above and PIN_CODE hold the same SIM PIN.
// clang-format off
const ParameterDefault parameter_defaults[] = {
    {"SYSCTRL",           "acq_enabled",       no_field,               "on"},
    {"SYSCTRL",           "acq_automatic",     no_field,               "on"},
    {"SYSCTRL",           "acq_dump",          no_field,               "on"},
    {"SYSCTRL",           "flash_store",       no_field,               "on"},
    {"SYSCTRL",           "acq_on_ring",       no_field,               "off"},
    {"SYSCTRL",           "acq_fast_interval", no_field,               "on"},
    {"SYSCTRL",           "gsm_enabled",       field_gsm_mode,         nullptr},
    {"SYSCTRL",           "gsm_call",          field_gsm_mode,         nullptr},
    {"SYSCTRL",           "gprs",              field_gsm_mode,         nullptr},
    {"SYSCTRL",           "call_on_ring",      no_field,               "off"},
    {"SYSCTRL",           "time_zone",         no_field,               "2"},
    {"HTTP_HOST",         "host",              field_http_host,        nullptr},
    {"HTTP_HOST",         "port",              field_http_port,        nullptr},
    {"HTTP_URL",          "value",             field_http_url,         nullptr},
    {"USERNAME",          "value",             field_username,         nullptr},
    {"PASSWORD",          "value",             field_password,         nullptr},
    {"GPRS_APN_USERNAME", "value",             field_apn_username,     nullptr},
    {"GPRS_APN_PASSWORD", "value",             field_apn_password,     nullptr},
    {"GPRS_APN_NAME",     "value",             field_apn_name,         nullptr},
    {"ACQ_INTERVAL0",     "value",             field_acq_interval0,    nullptr},
    {"ACQ_INTERVAL1",     "value",             field_acq_interval1,    nullptr},
    {"GSM_INTERVAL",      "value",             field_gsm_interval,     nullptr},
    {"GSM_DURATION",      "value",             field_gsm_duration,     nullptr},
    {"GSM_SMS_DURATION",  "value",             field_gsm_sms_duration, nullptr},
    {"SMS_NUMBER",        "value",             field_sms_number,       nullptr},
    {"SMS_TEXT_ACQ",      "value",             field_sms_text_acq,     nullptr},
    {"SMS_TEXT_EOL",      "value",             field_sms_text_eol,     nullptr},
    {"SYSTEM_CONFIG",     "filter",            no_field,               "4"},
    {"SYSTEM_CONFIG",     "acq_number",        no_field,               "0"},
    {"SYSTEM_CONFIG",     "gsm_number",        no_field,               "0"},
    {"PIN_CODE",          "value",             field_pin,              nullptr},
};
// clang-format on

const char* default_value(const ParameterDefault& d)
{
    if (d.field == no_field) {
        return d.value;
    }
    const StationField& field = station_fields[d.field];
    return field.source == FieldSource::gsm_mode ? gsm_switch_default(d.attribute) : field.default_value;
}

// Every new sequence measures the battery voltage and nothing else.
const SequenceCommand default_sequence[] = {
    {"PROBES_POWER", "state", "1"},
    {"ACQ_VBAT", "channel", "0"},
    {"PROBES_POWER", "state", "0"},
};

const int role_parameters = 0;
const int role_sequences = 1;

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

// Finds the parameters in the order a complete record holds them. While the
// record follows that order, each one asked for is the element after the
// last one found: every element before it answered an earlier name, so none
// of them has this one. Names must be asked for once each.
class ParameterCursor {
public:
    explicit ParameterCursor(TiXmlElement* cfg_parameters) : cfg(cfg_parameters), next(xml_first_child(cfg)) {}

    TiXmlElement* find(const char* name)
    {
        if (in_order && next != nullptr && std::strcmp(xml_name(next), name) == 0) {
            TiXmlElement* found = next;
            next = xml_next_sibling(next);
            return found;
        }
        in_order = false;
        return find_parameter(cfg, name);
    }

private:
    TiXmlElement* cfg;
    TiXmlElement* next;
    bool in_order = true;
};

}  // namespace

StationParts find_station_parts(TiXmlElement* station)
{
    StationParts parts;
    TiXmlElement* configurations[2] = {nullptr, nullptr};
    find_roles(station, "CONFIGURATION", configurations, 2);
    parts.cfg_parameters = configurations[role_parameters];
    parts.cfg_sequences = configurations[role_sequences];
    TiXmlElement* by_value[sequence_role_count] = {};
    find_roles(parts.cfg_sequences, "ACQUISITION_SEQUENCE", by_value, sequence_role_count);
    for (int role = 0; role < sequence_role_count; ++role) {
        parts.set_sequence(role, by_value[sequence_roles[role].value]);
    }
    return parts;
}

StationParts complete_station_defaults(TiXmlElement* station)
{
    if (station == nullptr) {
        return StationParts();
    }
    for (const AttributeDefault& d : station_defaults) {
        set_missing_attr(station, d.attribute, station_fields[d.field].default_value);
    }

    StationParts parts = find_station_parts(station);
    if (parts.cfg_parameters == nullptr) {
        parts.cfg_parameters = append_with_role(station, "CONFIGURATION", role_parameters);
    }
    if (parts.cfg_sequences == nullptr) {
        parts.cfg_sequences = append_with_role(station, "CONFIGURATION", role_sequences);
    }
    for (int role = 0; role < sequence_role_count; ++role) {
        if (parts.sequence(role) != nullptr) {
            continue;
        }
        TiXmlElement* sequence =
            append_with_role(parts.cfg_sequences, "ACQUISITION_SEQUENCE", sequence_roles[role].value);
        for (const SequenceCommand& command : default_sequence) {
            xml_set_attr(xml_add_child(sequence, command.element), command.attribute, command.value);
        }
        parts.set_sequence(role, sequence);
    }

    // A record without PIN_CODE keeps the SIM PIN it has: the station dialog
    // shows PIN_CODE first and stores it as both, so the default there would
    // replace the station's real PIN, and the SIM would refuse it.
    const char* pin = xml_get_attr(station, "pin");
    for (const ParameterDefault& d : parameter_defaults) {
        const bool station_pin = std::strcmp(d.element, "PIN_CODE") == 0 && pin != nullptr && *pin != '\0';
        ensure_parameter(parts.cfg_parameters, d.element, d.attribute, station_pin ? pin : default_value(d));
    }
    return parts;
}

std::vector<std::string> missing_station_pieces(TiXmlElement* station)
{
    return missing_station_pieces(station, find_station_parts(station));
}

std::vector<std::string> missing_station_pieces(TiXmlElement* station, const StationParts& parts)
{
    std::vector<std::string> missing;
    if (station == nullptr) {
        return missing;
    }
    for (const AttributeDefault& d : station_defaults) {
        if (xml_get_attr(station, d.attribute) == nullptr) {
            missing.push_back(d.attribute);
        }
    }
    if (parts.cfg_parameters == nullptr) {
        missing.push_back("the parameter configuration (CONFIGURATION value 0)");
    }
    if (parts.cfg_sequences == nullptr) {
        missing.push_back("the sequence configuration (CONFIGURATION value 1)");
    } else {
        for (int role = 0; role < sequence_role_count; ++role) {
            if (parts.sequence(role) == nullptr) {
                missing.push_back(std::string("the ") + sequence_roles[role].caption);
            }
        }
    }
    if (parts.cfg_parameters == nullptr) {
        return missing;
    }
    // A missing element is named once; the missing attributes of a present
    // one are named after it: "SYSCTRL (time_zone)". The defaults of one
    // element follow each other.
    ParameterCursor parameters(parts.cfg_parameters);
    const char* element_name = nullptr;
    const TiXmlElement* parameter = nullptr;
    const TiXmlAttribute* next_attribute = nullptr;
    std::string attributes;
    auto name_missing_attributes = [&] {
        if (!attributes.empty()) {
            missing.push_back(std::string(element_name) + " (" + attributes + ")");
            attributes.clear();
        }
    };
    for (const ParameterDefault& d : parameter_defaults) {
        if (element_name == nullptr || std::strcmp(element_name, d.element) != 0) {
            name_missing_attributes();
            element_name = d.element;
            parameter = parameters.find(d.element);
            next_attribute = xml_first_attr(parameter);
            if (parameter == nullptr) {
                missing.push_back(d.element);
            }
        }
        if (parameter == nullptr) {
            continue;
        }
        // Attribute names are unique, so the next one in order, when it has
        // the name, is the one.
        if (next_attribute != nullptr && std::strcmp(xml_attr_name(next_attribute), d.attribute) == 0) {
            next_attribute = xml_next_attr(next_attribute);
        } else if (xml_get_attr(parameter, d.attribute) == nullptr) {
            attributes += (attributes.empty() ? "" : ", ") + std::string(d.attribute);
        }
    }
    name_missing_attributes();
    return missing;
}

TiXmlElement* find_parameter(const TiXmlElement* cfg_parameters, const char* element_name)
{
    if (element_name == nullptr) {
        return nullptr;
    }
    // Parameter names are matched exactly: a "sysctrl" is not the SYSCTRL the
    // station reads. A fleet's records are read by the ten thousand, so the
    // first letters are compared before whole names.
    for (TiXmlElement* parameter = xml_first_child(cfg_parameters); parameter != nullptr;
         parameter = xml_next_sibling(parameter)) {
        const char* name = xml_name(parameter);
        if (name[0] == element_name[0] && std::strcmp(name, element_name) == 0) {
            return parameter;
        }
    }
    return nullptr;
}

bool is_parameter_name(const char* element_name)
{
    // Each name once, in the order of the defaults (SYSCTRL has eleven).
    static const std::vector<const char*> names = [] {
        std::vector<const char*> distinct;
        for (const ParameterDefault& d : parameter_defaults) {
            if (distinct.empty() || std::strcmp(distinct.back(), d.element) != 0) {
                distinct.push_back(d.element);
            }
        }
        return distinct;
    }();
    for (const char* name : names) {
        if (element_name != nullptr && name[0] == element_name[0] && std::strcmp(name, element_name) == 0) {
            return true;
        }
    }
    return false;
}

TiXmlElement* ensure_parameter(TiXmlElement* cfg_parameters, const char* element_name, const char* attribute,
                               const char* default_value)
{
    if (cfg_parameters == nullptr || element_name == nullptr) {
        return nullptr;
    }
    // A "sysctrl" is not the SYSCTRL the station reads, so a real one is
    // appended beside it.
    TiXmlElement* parameter = find_parameter(cfg_parameters, element_name);
    if (parameter == nullptr) {
        parameter = xml_add_child(cfg_parameters, element_name);
    }
    set_missing_attr(parameter, attribute, default_value);
    return parameter;
}
