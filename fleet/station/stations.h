// The stations of a settings file as the fleet tool walks them: the list
// the main window shows, and each station as the station dialog sees it
// when it opens it.
#ifndef ZANTOR_FLEET_STATION_STATIONS_H
#define ZANTOR_FLEET_STATION_STATIONS_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "station/station_record.h"

// The STATION children (any letter case) of the document's first STATIONS
// element, in document order: the rows of the main window's station list.
std::vector<TiXmlElement*> listed_stations(myXMLdocument& document);

// A station completed with its defaults, as the station dialog completes
// its working copy. A complete record is used as it stands (completing it
// would change nothing); only an incomplete one is copied.
class CompletedStation {
public:
    explicit CompletedStation(TiXmlElement* station);
    // Same, when the caller already found the record's pieces and knows
    // whether it is complete.
    CompletedStation(TiXmlElement* station, const StationParts& stored, bool complete);

    TiXmlElement* element() const { return record; }
    const StationParts& parts() const { return pieces; }

private:
    std::unique_ptr<TiXmlElement> copy;
    TiXmlElement* record = nullptr;
    StationParts pieces;
};

// A station that a command changed or added: the record in the document,
// and a copy of it as it was (null for a station added), so that the lines
// that tell the change are the same whether it is written or not.
struct ChangedStation {
    TiXmlElement* station = nullptr;
    std::shared_ptr<TiXmlElement> original;
    // The sequences (by SequenceRole) that the station now holds element for
    // element, where the command knows them; else null.
    const TiXmlElement* copied_sequences[sequence_role_count] = {};
    // For a station added: what it takes from where, when the command
    // knows ("Slow, Fast and Health sequences of station 12").
    std::string added_detail;
    // A record complete as it stood of which whole sequences alone were
    // replaced keeps only those as they were, here (null for a sequence
    // that stayed), rather than a copy of the whole record in `original`.
    std::shared_ptr<TiXmlElement> replaced_sequences[sequence_role_count] = {};
    // A change that left the record's sequences as they were: `original`
    // holds them empty (see copy_but_sequences).
    bool sequences_stayed = false;

    bool sequences_alone() const
    {
        for (const std::shared_ptr<TiXmlElement>& replaced : replaced_sequences) {
            if (replaced != nullptr) {
                return true;
            }
        }
        return false;
    }
};

// Called for each station as soon as a command has changed it, before the
// next one: a caller that says the change at once can let go of the record
// as it was, so that a command over a whole fleet holds one such copy at a
// time rather than a second fleet. Replaced sequences go back to apply once
// the call returns.
using StationChanged = std::function<void(ChangedStation&)>;

// A copy of the record, detached from the document.
std::shared_ptr<TiXmlElement> copy_of(const TiXmlElement* station);
// The same but for the commands of its sequences, most of a record: each
// sequence element of the copy is empty. For a change that keeps them.
std::shared_ptr<TiXmlElement> copy_but_sequences(TiXmlElement* station);

// The station's stored id, or "#<position>" (1-based in the list) when it
// has none, so that every finding and line names its station.
std::string station_name(const TiXmlElement* station, int position);

// The start of every path into the station: STATION[id=12], or
// STATION[#5] for a station without id.
std::string station_path(const TiXmlElement* station, int position);

#endif
