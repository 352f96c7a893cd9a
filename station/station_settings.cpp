#include "station/station_settings.h"

#include <limits>

#include "doc/Lib_xml.h"
#include "doc/text_parsers.h"

const char* const gsm_mode_names[3] = {"Disabled", "GPRS PUSH", "GSM DATA"};

const GsmSwitch gsm_switches[gsm_switch_count] = {
    {"gsm_enabled", &GsmFlags::gsm_enabled},
    {"gsm_call", &GsmFlags::gsm_call},
    {"gprs", &GsmFlags::gprs},
};

bool switch_is_set(const char* text)
{
    return xml_text_equals(text, "on");
}

const char* switch_text(bool set)
{
    return set ? "on" : "off";
}

GsmMode gsm_mode_from_flags(const GsmFlags& flags)
{
    if (!flags.gsm_enabled) {
        return gsm_mode_disabled;
    }
    return (flags.gsm_call && flags.gprs) ? gsm_mode_gprs_push : gsm_mode_gsm_data;
}

GsmMode gsm_mode_from_text(const std::string& text)
{
    for (int mode = gsm_mode_disabled; mode <= gsm_mode_gsm_data; ++mode) {
        if (text == gsm_mode_names[mode]) {
            return static_cast<GsmMode>(mode);
        }
    }
    return gsm_mode_none;
}

void apply_gsm_mode(GsmMode mode, GsmFlags& flags)
{
    switch (mode) {
        case gsm_mode_disabled:
            flags = GsmFlags();
            break;
        case gsm_mode_gprs_push:
            flags.gsm_enabled = flags.gsm_call = flags.gprs = true;
            break;
        case gsm_mode_gsm_data:
            flags.gsm_enabled = true;
            // Data calls need gsm_call; gprs is what would make the station
            // read back as a GPRS pusher.
            if (flags.gsm_call && flags.gprs) {
                flags.gprs = false;
            }
            break;
        case gsm_mode_none:
            break;
    }
}

bool gsm_timing_editable(const GsmFlags& flags)
{
    return flags.gsm_enabled;
}

bool gprs_settings_editable(GsmMode mode)
{
    return mode == gsm_mode_gprs_push;
}

std::string units_from_seconds(const char* seconds_text, int32_t unit_seconds)
{
    int32_t seconds = 0;
    parse_int(seconds_text, &seconds, 0);
    // Integer division truncates toward zero: -90 seconds shows as -1 minute.
    return std::to_string(seconds / unit_seconds);
}

std::string seconds_from_units(const char* typed_text, int32_t unit_seconds)
{
    int32_t units = 0;
    parse_int(typed_text, &units, 0);
    int64_t seconds = static_cast<int64_t>(units) * unit_seconds;
    if (seconds > std::numeric_limits<int32_t>::max()) {
        seconds = std::numeric_limits<int32_t>::max();
    } else if (seconds < std::numeric_limits<int32_t>::min()) {
        seconds = std::numeric_limits<int32_t>::min();
    }
    return std::to_string(seconds);
}

std::string pin_to_show(const char* pin_code_value, const char* station_pin)
{
    if (pin_code_value != nullptr && *pin_code_value != '\0') {
        return pin_code_value;
    }
    if (station_pin != nullptr && *station_pin != '\0') {
        return station_pin;
    }
    return std::string();
}
