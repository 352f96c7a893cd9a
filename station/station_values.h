// What the station dialog shows for one station, one text per box, and how
// those texts are stored back when the dialog is confirmed. The dialog, the
// fleet tool and the fuzzer's road all go through edit_station_copy, so a
// station changed by the tool is stored exactly as the dialog would store it.
#ifndef ZANTOR_STATION_STATION_VALUES_H
#define ZANTOR_STATION_STATION_VALUES_H

#include <cstdint>
#include <functional>
#include <string>

#include "doc/Lib_xml.h"
#include "station/station_record.h"
#include "station/station_settings.h"

// The station's values in the order of the fleet tool's columns.
enum StationFieldId : int {
    field_id,
    field_description,
    field_phone_nbr,
    field_pin,
    field_gsm_mode,
    field_http_host,
    field_http_port,
    field_http_url,
    field_username,
    field_password,
    field_apn_name,
    field_apn_username,
    field_apn_password,
    field_sms_number,
    field_sms_text_acq,
    field_sms_text_eol,
    field_acq_interval0,
    field_acq_interval1,
    field_gsm_interval,
    field_gsm_duration,
    field_gsm_sms_duration,
    station_field_count
};

// Where a value is kept in the record.
enum class FieldSource {
    station_number,  // STATION `id`: shown as the number it starts with, stored as typed
    station_text,    // a STATION attribute, shown and stored as it stands
    pin,             // PIN_CODE `value` (else STATION `pin`); stored into both
    gsm_mode,        // the SYSCTRL switches gsm_enabled, gsm_call and gprs
    parameter_text,  // an attribute of a parameter element, as it stands
    parameter_time,  // seconds in a parameter's `value`, shown in whole minutes or hours
};

struct StationField {
    const char* column;  // the fleet tool's column: "gsm_duration_min"
    const char* label;   // as the station dialog labels it
    FieldSource source;
    const char* element;    // the parameter element, or null for the STATION attributes
    const char* attribute;  // the attribute that holds the value
    int32_t unit_seconds;   // times: seconds per unit shown
    const char* unit;       // times: "min" or "h"
    // A new station's value, as stored (times in seconds); for the GSM
    // mode, the mode whose switches a new station gets (gsm_switch_default).
    const char* default_value;
    unsigned part;  // the ApplyPart that copies it, or 0 for the station's own

    // A PIN or a password, by the names of its element and attribute.
    bool is_secret() const;
};

// One row per StationFieldId, in that order.
extern const StationField station_fields[station_field_count];

// A new station's SYSCTRL switch (gsm_enabled, gsm_call or gprs): as
// choosing the GSM mode's default sets it from all off.
const char* gsm_switch_default(const char* attribute);

// The texts of a station's boxes, and its three GSM switches.
struct StationValues {
    std::string text[station_field_count];
    GsmFlags flags;
};

// The attribute of the first parameter element named exactly `element`;
// "" when the element or the attribute is missing.
const char* parameter_text(TiXmlElement* cfg_parameters, const char* element, const char* attribute);
// Sets that attribute when the parameter element exists; never creates one.
void set_parameter_text(TiXmlElement* cfg_parameters, const char* element, const char* attribute, const char* text);

// What the dialog shows for a completed record (`parts` from
// complete_station_defaults). The GSM mode is the name of the mode the
// switches select.
StationValues load_station_values(const TiXmlElement* station, const StationParts& parts);

// Stores the texts as the dialog's OK does: as they stand (the id as
// typed), times multiplied back to seconds, the PIN into both places, and
// the switches from `values.flags` (the text of the GSM mode is not read:
// choosing a mode is apply_gsm_mode on the flags). `station` must be
// completed; nothing is created.
void store_station_values(TiXmlElement* station, const StationParts& parts, const StationValues& values);

// What happens between the station dialog's opening and its OK, given the
// parts of the working copy and the values as the dialog shows them. It may
// change the values and the sequences of the copy; false is Cancel.
using StationEdit = std::function<bool(const StationParts& parts, StationValues& values)>;

// The station dialog's road for one STATION record: `working` (a detached
// element) becomes a copy of `station` completed with every default, `edit`
// runs on its values, and on true the values are stored as OK stores them and
// the copy replaces the content of `station`. On false `station` is left
// untouched. Returns what `edit` returned.
bool edit_station_copy(TiXmlElement* station, TiXmlElement* working, const StationEdit& edit);

#endif
