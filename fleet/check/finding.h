// What the check finds: one finding, and how grave it is. The rules of the
// file (rules.cpp) and those of one station (station_rules.cpp) both file
// them.
#ifndef ZANTOR_FLEET_CHECK_FINDING_H
#define ZANTOR_FLEET_CHECK_FINDING_H

#include <string>

enum class Severity { error, warning, note };

// "error", "warning" or "note".
const char* severity_name(Severity severity);

// One finding. The texts are document text (Windows-1252).
struct Finding {
    Severity severity = Severity::note;
    const char* rule = "";  // one of check_rule_names: what a --rule filter and the counts name
    std::string station;    // the station's id, "#5" for one without, or "top level"
    std::string where;      // a path: STATION[id=12]/CONFIGURATION[value=0]/GSM_DURATION
    std::string message;    // one sentence
};

#endif
