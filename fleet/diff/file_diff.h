// The comparison of two settings files, as `zantor-fleet diff` prints it:
// the top level, then the stations added and removed, then one line per
// changed value of the stations found in both, named as the station dialog
// labels it. Stations are matched by their stored id; stations that share
// an id are matched in document order.
#ifndef ZANTOR_FLEET_DIFF_FILE_DIFF_H
#define ZANTOR_FLEET_DIFF_FILE_DIFF_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "fleet/diff/changes.h"

struct DiffReport {
    std::vector<Change> changes;  // in the order they are printed
    int stations_added = 0;
    int stations_removed = 0;
    int stations_changed = 0;
    int top_level_changes = 0;
    // Both files hold the same settings: nothing but layout differs.
    bool same() const { return stations_added + stations_removed + stations_changed + top_level_changes == 0; }
};

// Compares two loaded documents. Secrets show as "****" unless shown.
DiffReport diff_documents(myXMLdocument& older, myXMLdocument& newer, bool show_secrets);

// The last line: "1 station changed, 1 added, 0 removed; 0 changes at the
// top level".
std::string diff_summary(const DiffReport& report);

#endif
