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
#include "fleet/check/finding.h"
#include "station/station_record.h"

// The names of the rules, one row each in rules.cpp, in the order of the
// counts that end a check; --rule and its help list them from here.
extern const char* const check_rule_names[];
extern const int check_rule_count;

struct CheckOptions {
    // Phone numbers are compared without spaces, dots and dashes, with "00"
    // read as "+"; with a country code ("33") a national number starting
    // with one 0 is read as +33 followed by the rest.
    std::string country_code;
    // When not null, only these stations are reported (the top level not at
    // all); ids and phone numbers are still compared with every station.
    const std::vector<const TiXmlElement*>* only = nullptr;
    // With `only`: for each SequenceRole, a sequence that the
    // one of every station of `only` is known to equal, element for element,
    // or null. After apply, thousands of stations hold copies of the
    // source's sequences: the rules read the source's once, and the copies
    // are not compared again.
    const TiXmlElement* known_sequences[sequence_role_count] = {};
};

// A phone number in the one spelling that duplicates are compared in:
// "+33 6 40.49-30.74", "0033640493074" and, with country code 33,
// "0640493074" all give "+33640493074".
std::string phone_key(const std::string& number, const std::string& country_code);

struct CheckReport {
    bool refused = false;  // the loader refused the file; `reason` says why
    std::string reason;
    int stations = 0;
    std::vector<Finding> findings;  // top level first, then the stations in document order
};

// Loads the file into `document` as the editor does and checks it, its
// bytes included: a UTF-8 byte-order mark or UTF-8 text, and character
// references that the single-byte loader cuts to another character.
CheckReport check_settings_file(myXMLdocument& document, const char* file_name,
                                const CheckOptions& options = CheckOptions());

// Checks a loaded document. Its top level is completed in memory, as the
// editor completes it when it opens the file, to see what that adds.
CheckReport check_document(myXMLdocument& document, const CheckOptions& options = CheckOptions());

// The findings about the bytes of a settings file as read (before parsing).
void check_encoding(const std::string& bytes, std::vector<Finding>& findings);

#endif
