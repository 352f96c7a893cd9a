// The STATION record: its four identifying attributes, the parameter
// configuration and the sequence configuration with the Slow, Fast and
// Health acquisition sequences, and the defaults of a new station.
#ifndef ZANTOR_STATION_STATION_RECORD_H
#define ZANTOR_STATION_STATION_RECORD_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"

// The parts of a station's settings that are copied from one station to
// others as a whole, one bit each.
enum ApplyPart : unsigned {
    part_gsm = 1u << 0,
    part_sms = 1u << 1,
    part_timing = 1u << 2,
    part_slow = 1u << 3,
    part_fast = 1u << 4,
    part_health = 1u << 5,
};

// The station's acquisition sequences, in the order of their
// ACQUISITION_SEQUENCE value.
enum SequenceRole : int { role_slow, role_fast, role_health, sequence_role_count };

struct SequenceRoleInfo {
    const char* name;     // "Slow"
    const char* caption;  // as the dialogs and the fleet tool name it: "Slow sequence"
    const char* column;   // the fleet tool's column and apply's name of its part: "slow"
    ApplyPart part;
    int value;  // its ACQUISITION_SEQUENCE value
};

// One row per SequenceRole, in that order.
extern const SequenceRoleInfo sequence_roles[sequence_role_count];

// The pieces of a completed record the station dialog works with.
struct StationParts {
    TiXmlElement* cfg_parameters = nullptr;  // CONFIGURATION value 0
    TiXmlElement* cfg_sequences = nullptr;   // CONFIGURATION value 1

    // The ACQUISITION_SEQUENCE of a SequenceRole.
    TiXmlElement* sequence(int role) const { return sequences[role]; }
    void set_sequence(int role, TiXmlElement* element) { sequences[role] = element; }

private:
    TiXmlElement* sequences[sequence_role_count] = {};
};

// Appends every missing piece of the record with its default; never changes,
// removes or reorders what is present. All-null parts for a null station.
StationParts complete_station_defaults(TiXmlElement* station);

// The pieces of the record as they stand, found by the same rules as
// complete_station_defaults; null for each piece that is missing.
StationParts find_station_parts(TiXmlElement* station);

// What complete_station_defaults would add to the record, in the order it
// adds it, each named as an operator reads it: "pin", "the parameter
// configuration (CONFIGURATION value 0)", "the Fast sequence", "SYSCTRL
// (acq_dump, time_zone)", "GSM_SMS_DURATION". Empty for a complete record
// (or none).
std::vector<std::string> missing_station_pieces(TiXmlElement* station);
// The same, for a record whose pieces find_station_parts already found.
std::vector<std::string> missing_station_pieces(TiXmlElement* station, const StationParts& parts);

// The parameter element of that name: the first child of the parameter
// configuration named exactly so; null when there is none.
TiXmlElement* find_parameter(const TiXmlElement* cfg_parameters, const char* element_name);

// True for the names of the parameter elements the editor reads and
// completes (SYSCTRL, HTTP_HOST, ... PIN_CODE); letter case counts.
bool is_parameter_name(const char* element_name);

// Finds the first child named `element_name` of the parameter configuration
// (appending one when missing) and gives it `attribute` = `default_value`
// when it has no such attribute. Returns the parameter element.
TiXmlElement* ensure_parameter(TiXmlElement* cfg_parameters, const char* element_name, const char* attribute,
                               const char* default_value);

#endif
