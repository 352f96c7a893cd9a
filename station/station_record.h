// The STATION record: its four identifying attributes, the parameter
// configuration and the sequence configuration with the Slow, Fast and
// Health acquisition sequences, and the defaults of a new station.
#ifndef ZANTOR_STATION_STATION_RECORD_H
#define ZANTOR_STATION_STATION_RECORD_H

#include "doc/Lib_xml.h"

// The pieces of a completed record the station dialog works with.
struct StationParts {
    TiXmlElement* cfg_parameters = nullptr;  // CONFIGURATION value 0
    TiXmlElement* cfg_sequences = nullptr;   // CONFIGURATION value 1
    TiXmlElement* seq_slow = nullptr;        // ACQUISITION_SEQUENCE value 0
    TiXmlElement* seq_fast = nullptr;        // ACQUISITION_SEQUENCE value 1
    TiXmlElement* seq_health = nullptr;      // ACQUISITION_SEQUENCE value 2
};

// Appends every missing piece of the record with its default; never changes,
// removes or reorders what is present. All-null parts for a null station.
StationParts complete_station_defaults(TiXmlElement* station);

// Finds the first child named `element_name` of the parameter configuration
// (appending one when missing) and gives it `attribute` = `default_value`
// when it has no such attribute. Returns the parameter element.
TiXmlElement* ensure_parameter(TiXmlElement* cfg_parameters, const char* element_name, const char* attribute,
                               const char* default_value);

#endif
