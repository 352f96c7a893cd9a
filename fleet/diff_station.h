// The changes between two records of one station: its values as the
// station dialog shows them, its sequences as choices, and whatever else
// differs in the records as stored.
#ifndef ZANTOR_FLEET_DIFF_STATION_H
#define ZANTOR_FLEET_DIFF_STATION_H

#include <vector>

#include "fleet/fleet_diff.h"
#include "sequence/sequence_format.h"

// The choices of the newer record's sequences (Slow, Fast, Health) where the
// caller has read them already; null where not.
struct NewerChoices {
    const SequenceChoices* choices[3] = {nullptr, nullptr, nullptr};
};

// The lines of the changes, without the station's id (the caller names the
// station). Empty when the records hold the same settings.
std::vector<Change> station_changes(TiXmlElement* older, TiXmlElement* newer, bool show_secrets,
                                    const NewerChoices& known = NewerChoices());

#endif
