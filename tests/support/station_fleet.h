// A deterministic fleet of complete stations for tests and benchmarks: the
// same count always gives the same document, byte for byte.
#ifndef ZANTOR_TESTS_SUPPORT_STATION_FLEET_H
#define ZANTOR_TESTS_SUPPORT_STATION_FLEET_H

#include "doc/Lib_xml.h"

// Appends `count` complete STATION records to `stations`, numbered from
// `first_id`. Each has its own identity (descriptions with Windows-1252 bytes
// above 0x7F), GSM mode, timing and three sequences with thresholds and
// conditional actions, all in the form the editor writes.
void add_fleet_stations(TiXmlElement* stations, int count, int first_id = 1000);

// Empties `document`, gives it the default top level and `count` stations;
// returns its STATIONS element (null when the document has no root).
TiXmlElement* build_fleet(myXMLdocument& document, int count);

#endif
