#include "station/station_values.h"

#include <cstring>

#include "doc/secret_names.h"

// A new station calls in over GSM data.
// clang-format off
const StationField station_fields[station_field_count] = {
    {"id",                   "NUXO ID",                                       FieldSource::station_number, nullptr,             "id",          0,                  nullptr, "100",                       0},
    {"description",          "Description",                                   FieldSource::station_text,   nullptr,             "description", 0,                  nullptr, "new station",               0},
    {"phone_nbr",            "Phone Number",                                  FieldSource::station_text,   nullptr,             "phone_nbr",   0,                  nullptr, "330000000000",              0},
    {"pin",                  "PIN code",                                      FieldSource::pin,            "PIN_CODE",          "value",       0,                  nullptr, "6852",                      0},
    {"gsm_mode",             "GSM Mode",                                      FieldSource::gsm_mode,       "SYSCTRL",           nullptr,       0,                  nullptr, "GSM DATA",                  part_gsm},
    {"http_host",            "HTTP HOST",                                     FieldSource::parameter_text, "HTTP_HOST",         "host",        0,                  nullptr, "data.kestrane.example",     part_gsm},
    {"http_port",            "HTTP port",                                     FieldSource::parameter_text, "HTTP_HOST",         "port",        0,                  nullptr, "80",                        part_gsm},
    {"http_url",             "HTTP URL",                                      FieldSource::parameter_text, "HTTP_URL",          "value",       0,                  nullptr, "/gprs/default.php",         part_gsm},
    {"username",             "USERNAME",                                      FieldSource::parameter_text, "USERNAME",          "value",       0,                  nullptr, "kestrane",                  part_gsm},
    {"password",             "PASSWORD",                                      FieldSource::parameter_text, "PASSWORD",          "value",       0,                  nullptr, "pqwz",                      part_gsm},
    {"apn_name",             "APN NAME",                                      FieldSource::parameter_text, "GPRS_APN_NAME",     "value",       0,                  nullptr, "internet.operator.example", part_gsm},
    {"apn_username",         "APN Username",                                  FieldSource::parameter_text, "GPRS_APN_USERNAME", "value",       0,                  nullptr, "",                          part_gsm},
    {"apn_password",         "APN Password",                                  FieldSource::parameter_text, "GPRS_APN_PASSWORD", "value",       0,                  nullptr, "",                          part_gsm},
    {"sms_number",           "Phone number where to send the SMS",            FieldSource::parameter_text, "SMS_NUMBER",        "value",       0,                  nullptr, "0600000000",                part_sms},
    {"sms_text_acq",         "SMS message in case of threshold passing",      FieldSource::parameter_text, "SMS_TEXT_ACQ",      "value",       0,                  nullptr, "ALARM ! NUXO ",             part_sms},
    {"sms_text_eol",         "SMS message in case of low battery",            FieldSource::parameter_text, "SMS_TEXT_EOL",      "value",       0,                  nullptr, "Low Bat. NUXO ",            part_sms},
    {"acq_interval0_min",    "Interval between two acquisition in slow mode", FieldSource::parameter_time, "ACQ_INTERVAL0",     "value",       seconds_per_minute, "min",   "900",                       part_timing},
    {"acq_interval1_min",    "Interval between two acquisition in fast mode", FieldSource::parameter_time, "ACQ_INTERVAL1",     "value",       seconds_per_minute, "min",   "300",                       part_timing},
    {"gsm_interval_h",       "Interval between two GSM switch on",            FieldSource::parameter_time, "GSM_INTERVAL",      "value",       seconds_per_hour,   "h",     "86400",                     part_timing},
    {"gsm_duration_min",     "GSM power On duration",                         FieldSource::parameter_time, "GSM_DURATION",      "value",       seconds_per_minute, "min",   "600",                       part_timing},
    {"gsm_sms_duration_min", "GSM power On duration in case of alarm",        FieldSource::parameter_time, "GSM_SMS_DURATION",  "value",       seconds_per_minute, "min",   "900",                       part_timing},
};
// clang-format on

bool StationField::is_secret() const
{
    return is_secret_attribute(element != nullptr ? element : "STATION", attribute);
}

const char* gsm_switch_default(const char* attribute)
{
    static const GsmFlags flags = [] {
        GsmFlags set;
        apply_gsm_mode(gsm_mode_from_text(station_fields[field_gsm_mode].default_value), set);
        return set;
    }();
    for (const GsmSwitch& gsm_switch : gsm_switches) {
        if (std::strcmp(gsm_switch.attribute, attribute) == 0) {
            return switch_text(flags.*gsm_switch.flag);
        }
    }
    return "";
}

const char* parameter_text(TiXmlElement* cfg_parameters, const char* element, const char* attribute)
{
    return xml_get_attr_text(find_parameter(cfg_parameters, element), attribute);
}

void set_parameter_text(TiXmlElement* cfg_parameters, const char* element, const char* attribute, const char* text)
{
    TiXmlElement* parameter = find_parameter(cfg_parameters, element);
    if (parameter != nullptr) {
        xml_set_attr(parameter, attribute, text);
    }
}

namespace {

// The parameter element each field reads: the first child of that name,
// found in one walk for all of them (a fleet's list shows twenty values of
// each of thousands of stations).
void find_field_elements(const TiXmlElement* cfg_parameters, TiXmlElement* elements[station_field_count])
{
    for (TiXmlElement* child = xml_first_child(cfg_parameters); child != nullptr; child = xml_next_sibling(child)) {
        const char* name = xml_name(child);
        for (int id = 0; id < station_field_count; ++id) {
            const char* wanted = station_fields[id].element;
            if (elements[id] == nullptr && wanted != nullptr && wanted[0] == name[0] &&
                std::strcmp(wanted, name) == 0) {
                elements[id] = child;
            }
        }
    }
}

}  // namespace

StationValues load_station_values(const TiXmlElement* station, const StationParts& parts)
{
    TiXmlElement* elements[station_field_count] = {};
    find_field_elements(parts.cfg_parameters, elements);
    const TiXmlElement* sysctrl = elements[field_gsm_mode];
    StationValues values;
    for (const GsmSwitch& gsm_switch : gsm_switches) {
        values.flags.*gsm_switch.flag = switch_is_set(xml_get_attr_text(sysctrl, gsm_switch.attribute));
    }
    for (int id = 0; id < station_field_count; ++id) {
        const StationField& field = station_fields[id];
        const char* stored = xml_get_attr_text(elements[id], field.attribute);
        std::string& text = values.text[id];
        switch (field.source) {
            case FieldSource::station_number:
                // "007" shows as 7, "12A" as 12, a text without digits as 0.
                text = std::to_string(xml_get_attr_int(station, field.attribute));
                break;
            case FieldSource::station_text:
                text = xml_get_attr_text(station, field.attribute);
                break;
            case FieldSource::pin:
                text = pin_to_show(stored, xml_get_attr_text(station, "pin"));
                break;
            case FieldSource::gsm_mode:
                text = gsm_mode_names[gsm_mode_from_flags(values.flags)];
                break;
            case FieldSource::parameter_text:
                text = stored;
                break;
            case FieldSource::parameter_time:
                text = units_from_seconds(stored, field.unit_seconds);
                break;
        }
    }
    return values;
}

void store_station_values(TiXmlElement* station, const StationParts& parts, const StationValues& values)
{
    TiXmlElement* cfg = parts.cfg_parameters;
    for (int id = 0; id < station_field_count; ++id) {
        const StationField& field = station_fields[id];
        const char* text = values.text[id].c_str();
        switch (field.source) {
            case FieldSource::station_number:
            case FieldSource::station_text:
                xml_set_attr(station, field.attribute, text);
                break;
            case FieldSource::pin:
                // The station's pin and its PIN_CODE parameter always agree
                // after a store.
                xml_set_attr(station, "pin", text);
                set_parameter_text(cfg, field.element, field.attribute, text);
                break;
            case FieldSource::gsm_mode:
                for (const GsmSwitch& gsm_switch : gsm_switches) {
                    set_parameter_text(cfg, field.element, gsm_switch.attribute,
                                       switch_text(values.flags.*gsm_switch.flag));
                }
                break;
            case FieldSource::parameter_text:
                set_parameter_text(cfg, field.element, field.attribute, text);
                break;
            case FieldSource::parameter_time:
                set_parameter_text(cfg, field.element, field.attribute,
                                   seconds_from_units(text, field.unit_seconds).c_str());
                break;
        }
    }
}

bool edit_station_copy(TiXmlElement* station, TiXmlElement* working, const StationEdit& edit)
{
    xml_clear(working);
    xml_copy(working, station);
    const StationParts parts = complete_station_defaults(working);
    StationValues values = load_station_values(working, parts);
    if (!edit(parts, values)) {
        return false;
    }
    store_station_values(working, parts, values);
    xml_clear(station);
    xml_copy(station, working);
    return true;
}
