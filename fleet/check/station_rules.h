// The rules on one station, shared by the files of the check. Internal to
// the check: rules.cpp walks the stations and calls these.
#ifndef ZANTOR_FLEET_CHECK_STATION_RULES_H
#define ZANTOR_FLEET_CHECK_STATION_RULES_H

#include <string>
#include <utility>
#include <vector>

#include "fleet/check/finding.h"
#include "fleet/station/stations.h"
#include "fleet/station/text.h"
#include "sequence/sequence_format.h"
#include "sequence/sequence_rewrite.h"
#include "station/station_values.h"

// One station as the rules read it: as stored, and as the station dialog
// would show it.
struct StationUnderCheck {
    TiXmlElement* record = nullptr;
    StationParts stored;               // its pieces as they stand (null when missing)
    std::vector<std::string> missing;  // what the dialog would add
    const CompletedStation* completed = nullptr;
    StationValues values;  // what the dialog shows
    std::string path;      // STATION[id=12]

    std::string parameter_path(const char* element) const;
    // The path of the sequence of a SequenceRole.
    std::string sequence_path(int role) const;
};

// Collects the findings of one station.
class StationFindings {
public:
    StationFindings(std::vector<Finding>& findings, std::string station) : out(findings), name(std::move(station)) {}
    void add(Severity severity, const char* rule, std::string where, std::string message);

private:
    std::vector<Finding>& out;
    std::string name;
};

// The values of the parameter configuration and the station's attributes.
void check_station_values(const StationUnderCheck& station, StationFindings& findings);
// Values of one line that hold a line break, or names with blanks at their ends.
void check_station_texts(const StationUnderCheck& station, StationFindings& findings);
// What the sequence rules read of each role's sequence, kept from station
// to station: after apply, thousands of stations hold the same sequences,
// and reading the same commands again would give the same again.
struct SequenceReadings {
    const TiXmlElement* sequence[sequence_role_count] = {};  // read last, in the document
    // The sequence each station's one is known to equal (CheckOptions), or null.
    const TiXmlElement* known[sequence_role_count] = {};
    SequenceChoices choices[sequence_role_count];
    SequenceRewrite rewrite[sequence_role_count];
};

// The three sequences.
void check_station_sequences(const StationUnderCheck& station, SequenceReadings& readings, StationFindings& findings);
// What the dialog adds, and the elements the editor does not use.
void check_station_structure(const StationUnderCheck& station, StationFindings& findings);

#endif
