// The rules by which the station dialog turns a station's stored values into
// what the operator sees and back: the GSM mode and its three SYSCTRL
// switches, times in seconds shown as minutes or hours, and the PIN code.
#ifndef ZANTOR_STATION_STATION_SETTINGS_H
#define ZANTOR_STATION_STATION_SETTINGS_H

#include <cstdint>
#include <string>

// ---- GSM mode ----

// How the station's GSM module is used. The numbers are the positions of the
// items in the mode drop-down; gsm_mode_none is a typed text that names no mode.
enum GsmMode { gsm_mode_none = -1, gsm_mode_disabled = 0, gsm_mode_gprs_push = 1, gsm_mode_gsm_data = 2 };

// The drop-down's items, in the order of GsmMode.
extern const char* const gsm_mode_names[3];

// The SYSCTRL switches gsm_enabled, gsm_call and gprs.
struct GsmFlags {
    bool gsm_enabled = false;
    bool gsm_call = false;
    bool gprs = false;
};

// The switches by their SYSCTRL attributes, in the order a record holds them.
struct GsmSwitch {
    const char* attribute;
    bool GsmFlags::*flag;
};
const int gsm_switch_count = 3;
extern const GsmSwitch gsm_switches[gsm_switch_count];

// A switch is set when its text is "on" in any letter case; anything else,
// null included, is off.
bool switch_is_set(const char* text);
// "on" or "off".
const char* switch_text(bool set);

// The mode a station opens in: Disabled without gsm_enabled, GPRS PUSH with
// all three switches, GSM DATA otherwise.
GsmMode gsm_mode_from_flags(const GsmFlags& flags);

// The mode named by the drop-down's text (exact match), or gsm_mode_none.
GsmMode gsm_mode_from_text(const std::string& text);

// Choosing a mode sets the switches it needs. GSM DATA keeps gsm_call as it
// is but clears gprs when both were set, so that the stored station reads back
// as GSM DATA and not as GPRS PUSH. gsm_mode_none changes nothing.
void apply_gsm_mode(GsmMode mode, GsmFlags& flags);

// The SMS number and texts and the GSM timing matter whenever the module is on.
bool gsm_timing_editable(const GsmFlags& flags);
// The HTTP server and access point matter only when pushing over GPRS.
bool gprs_settings_editable(GsmMode mode);

// ---- times ----

const int32_t seconds_per_minute = 60;
const int32_t seconds_per_hour = 3600;

// A stored time in seconds (read leniently) as the whole number of units it
// holds, the remainder dropped: "90" seconds is 1 minute, "86399" is 23 hours.
std::string units_from_seconds(const char* seconds_text, int32_t unit_seconds);

// A typed number of units (read leniently: "1.5" is 1, "15 min" is 15, no
// number is 0) as seconds in decimal. Results beyond the 32-bit range stop at
// its limit, so a huge entry never turns into a negative or a wrapped time.
std::string seconds_from_units(const char* typed_text, int32_t unit_seconds);

// ---- PIN code ----

// The PIN to show: the PIN_CODE parameter, or the station's pin attribute
// when the parameter is empty, or an empty text when both are.
std::string pin_to_show(const char* pin_code_value, const char* station_pin);

#endif
