// The road a settings file from anywhere takes through the editor, with the
// properties that must hold on it: Open, the station dialog's OK on every
// station with the sequence dialog's OK on its three sequences, Save, and
// Open again. The fuzz target drives it with random bytes; the core tests
// replay the seed corpus and every input the fuzzer ever caught.
#ifndef ZANTOR_TESTS_SUPPORT_CORE_SETTINGS_ROAD_H
#define ZANTOR_TESTS_SUPPORT_CORE_SETTINGS_ROAD_H

#include <string>

#include "doc/Lib_xml.h"

// Runs `file_bytes` along the road, using `scratch_dir` (an existing, private
// directory) for its files. Returns an empty text when the file was refused
// cleanly or went the whole road with every property holding; otherwise what
// went wrong. The properties:
// - a refused file leaves no root and a reason;
// - a loaded file is no deeper than the nesting check counted;
// - the top level gets all seven elements;
// - the edited document saves, and the saved file loads again;
// - saving the reloaded document gives the same bytes;
// - editing the reloaded document again changes none of them.
std::string check_settings_road(const std::string& file_bytes, const std::string& scratch_dir);

// What the station dialog's OK does to one STATION record, with the sequence
// dialog's OK on each of its three sequences, through the dialog's own
// edit_station_copy: every sequence is read into choices and rebuilt from
// them, and the values are stored as OK stores them (90 s as 60 s, the PIN
// in both places).
void edit_station_as_dialogs_do(TiXmlElement* station);

// Deepest element nesting of the document (the root element is level 1).
int element_depth(const TiXmlDocument& doc);

#endif
