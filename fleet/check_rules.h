// The rules of `zantor-fleet check`: what in a settings file an operator
// should know before the file goes to the stations, or before the editor
// opens it. Errors: the file cannot be read. Warnings: a value the stations
// or the editor would take otherwise than it reads (shared ids and phone
// numbers, PINs, numbers, SMS texts, timings, GPRS settings, thresholds,
// sequences the editor would rewrite). Notes: what the editor completes or
// leaves alone.
#ifndef ZANTOR_FLEET_CHECK_RULES_H
#define ZANTOR_FLEET_CHECK_RULES_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"

enum class Severity { error, warning, note };

// "error", "warning" or "note".
const char* severity_name(Severity severity);

// One finding. The texts are document text (Windows-1252).
struct Finding {
    Severity severity = Severity::note;
    std::string station;  // the station's id, "#5" for one without, or "top level"
    std::string where;    // a path: STATION[id=12]/CONFIGURATION[value=0]/GSM_DURATION
    std::string message;  // one sentence
};

struct CheckReport {
    bool refused = false;  // the loader refused the file; `reason` says why
    std::string reason;
    int stations = 0;
    std::vector<Finding> findings;  // top level first, then the stations in document order
};

// Loads the file into `document` as the editor does and checks it.
CheckReport check_settings_file(myXMLdocument& document, const char* file_name);

// Checks a loaded document. Its top level is completed in memory, as the
// editor completes it when it opens the file, to see what that adds.
CheckReport check_document(myXMLdocument& document);

#endif
