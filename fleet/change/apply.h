// Copying parts of one station's settings to other stations: its GSM
// settings, SMS, timing or sequences, each target keeping its identity,
// its PIN and everything not named.
#ifndef ZANTOR_FLEET_CHANGE_APPLY_H
#define ZANTOR_FLEET_CHANGE_APPLY_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "fleet/station/stations.h"

// The parts are the ApplyPart bits of station/station_record.h.

// The parts a list such as "gsm,slow" or "all" names; false with
// `unknown` the first name that is not a part.
bool parse_apply_parts(const std::string& list, unsigned& parts, std::string& unknown);

// The names of the parts, for messages: "gsm, sms, timing, ... all".
std::string apply_part_names();

struct ApplyOutcome {
    std::vector<std::string> errors;  // document text
    // The targets changed, in document order.
    std::vector<ChangedStation> stations;
    // For each sequence copied (by SequenceRole), the source's, which every
    // target changed now holds element for element; else null.
    const TiXmlElement* copied_sequences[sequence_role_count] = {};
};

// Copies `parts` of the station whose id is `source_id` to the stations of
// `target_ids`, or to every other station when `all`. Source and targets
// are read completed with their defaults, as the station dialog opens
// them; a target that changes is completed in the document. With errors
// the document is unchanged. `changed_now`, when given, sees each target as
// soon as it is changed; outcome.stations then holds what it left.
ApplyOutcome apply_parts(myXMLdocument& document, const std::string& source_id,
                         const std::vector<std::string>& target_ids, bool all, unsigned parts,
                         const StationChanged& changed_now = nullptr);

#endif
