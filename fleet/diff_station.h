// The changes between two records of one station: its values as the
// station dialog shows them, its sequences as choices, and whatever else
// differs in the records as stored.
#ifndef ZANTOR_FLEET_DIFF_STATION_H
#define ZANTOR_FLEET_DIFF_STATION_H

#include <vector>

#include "fleet/fleet_diff.h"

// The lines of the changes, without the station's id (the caller names the
// station). Empty when the records hold the same settings.
std::vector<Change> station_changes(TiXmlElement* older, TiXmlElement* newer, bool show_secrets);

#endif
