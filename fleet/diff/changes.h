// A change between two settings files, one line of diff, and that line as
// text: what diff prints, and what import and apply print of the changes
// they make.
#ifndef ZANTOR_FLEET_DIFF_CHANGES_H
#define ZANTOR_FLEET_DIFF_CHANGES_H

#include <string>
#include <utility>
#include <vector>

#include "doc/Lib_xml.h"

enum class ChangeKind { top_level, added, removed, changed, note };

// A value as a line shows it.
struct ShownValue {
    std::string text;
    bool quoted = false;  // a document text, in double quotes on a line
    bool absent = false;  // an attribute that is not there: "(none)" on a line, null in JSON

    static ShownValue of_text(std::string text) { return ShownValue{std::move(text), true, false}; }
    static ShownValue of_word(std::string word) { return ShownValue{std::move(word), false, false}; }
    static ShownValue none() { return ShownValue{std::string(), false, true}; }
};

// A PIN or a password as a line shows it: "****" unless shown, an empty one
// as empty.
ShownValue secret_value(const std::string& value, bool show_secrets);
// The value of `attribute` of `element` as a line shows it: "(none)" when
// null, "****" when the names say it is a secret, unless shown.
ShownValue attribute_value(const TiXmlElement* element, const char* attribute, const char* value, bool show_secrets);

// One line of the comparison, in document text.
struct Change {
    ChangeKind kind = ChangeKind::changed;
    std::string station;      // the stored id, "12#2" for the second station of a shared id; empty for the top level
    std::string description;  // of the station (as it is in the newer file, or the older for a removed one)
    std::string what;         // "GSM power On duration", "PATH_DATA_BIN path", "CONFIGURATION[value=0]/FOO added"
    bool has_values = false;  // old_value -> new_value, as the dialog shows them
    ShownValue old_value;
    ShownValue new_value;
};

// The lines of a change are made here alone, for diff and for what import
// and apply print. Each appends UTF-8 to `out`, a run of ASCII at a time,
// without a line break: the lines of a fleet of 10,000 stations are tens of
// megabytes, built without a text of their own per line. A control byte of
// a value shows as its code (\xNN), a double quote in a quoted value as \".

// The change as one line:
//   top level: PATH_DATA_BIN path "c:\data" -> "d:\data"
//   added: 1205 "Puits de la Cr\xC3\xAAte"
//   12 "Pump house": GSM power On duration 10 min -> 15 min
void append_change_line(std::string& out, const Change& change);

// How the lines of a station's changes start, before ": ": its id and
// description, `12 "Pump house"`.
void append_station_label(std::string& out, const std::string& id, const std::string& description);

// What a line of a change says after its station or "top level: ": "GSM
// power On duration 10 min -> 15 min".
void append_change_text(std::string& out, const Change& change);

// A value as a line shows it: "\"text\"", "10 min", "(none)".
void append_shown_value(std::string& out, const ShownValue& value);

// The same line as append_change_line, in document text.
std::string change_line(const Change& change);

// Changes as diff --format json prints them: an array of objects with the
// keys kind, station, description, what, old and new.
std::string changes_as_json(const std::vector<Change>& changes);

#endif
