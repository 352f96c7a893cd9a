// The changes between two records of one station: its values as the
// station dialog shows them, its sequences as choices, and whatever else
// differs in the records as stored.
#ifndef ZANTOR_FLEET_DIFF_STATION_DIFF_H
#define ZANTOR_FLEET_DIFF_STATION_DIFF_H

#include <memory>
#include <vector>

#include "fleet/diff/changes.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"

// The choices of the newer record's sequences (by SequenceRole) where the
// caller has read them already; null where not.
struct NewerChoices {
    const SequenceChoices* choices[sequence_role_count] = {};
};

// The lines of the changes, without the station's id (the caller names the
// station). Empty when the records hold the same settings. With
// `sequences_stayed`, the newer record's sequences are those of the older
// one, which holds them empty (copy_but_sequences): they are not compared.
std::vector<Change> station_changes(TiXmlElement* older, TiXmlElement* newer, bool show_secrets,
                                    const NewerChoices& known = NewerChoices(), bool sequences_stayed = false);

// The same lines for a record complete before and after, whose whole
// sequences alone were replaced: `older` holds each replaced sequence as it
// was (null where the sequence stayed), `newer` is the record now. Its values
// and the rest of the record are as they were, so the lines are those of
// the sequences.
std::vector<Change> replaced_sequence_changes(const std::shared_ptr<TiXmlElement> (&older)[sequence_role_count],
                                              TiXmlElement* newer, const NewerChoices& known = NewerChoices());

#endif
