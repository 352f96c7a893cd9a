// The check of one settings file: the top level, then every station of the
// list in document order, with the ids and phone numbers seen so far kept
// in hash maps so that a fleet of thousands is checked in one pass.
#include "fleet/check/rules.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <new>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "doc/cp1252.h"
#include "doc/secret_names.h"
#include "doc/top_level.h"
#include "doc/utf8.h"
#include "doc/xml_load.h"
#include "fleet/check/station_rules.h"
#include "fleet/station/station_row.h"
#include "fleet/station/stations_by_id.h"

namespace {

const char* const top_level = "top level";
const char* const unused = "the editor does not use this element and keeps it as it is";

void add_top_level(CheckReport& report, Severity severity, std::string where, std::string message,
                   const char* rule = "top-level")
{
    report.findings.push_back(Finding{severity, rule, top_level, std::move(where), std::move(message)});
}

std::string element_label(const TiXmlElement* element)
{
    std::string label = xml_name(element);
    const char* type = xml_get_attr(element, "type");
    if (type == nullptr) {
        return label;
    }
    return label + "[type=" + (is_secret_attribute(label.c_str(), "type") ? shown_secret(type, false) : type) + "]";
}

// Binding the top level only ever appends, so what it adds is what follows
// the last element that was there before.
void note_added(const TiXmlElement* parent, const TiXmlElement* last_before, std::string& added)
{
    const TiXmlElement* first_new = last_before != nullptr ? xml_next_sibling(last_before) : xml_first_child(parent);
    for (const TiXmlElement* e = first_new; e != nullptr; e = xml_next_sibling(e)) {
        added += (added.empty() ? "" : ", ") + element_label(e);
    }
}

const TiXmlElement* last_child(const TiXmlElement* parent)
{
    const TiXmlElement* last = nullptr;
    for (const TiXmlElement* e = xml_first_child(parent); e != nullptr; e = xml_next_sibling(e)) {
        last = e;
    }
    return last;
}

void check_top_level(myXMLdocument& document, CheckReport& report)
{
    TiXmlElement* root = document.find_path("/");
    const std::string root_path = xml_name(root);
    TiXmlElement* comports_before = document.find_path("/COMPORTS");
    const TiXmlElement* last_top = last_child(root);
    const TiXmlElement* last_port = last_child(comports_before);
    const TopLevelElements top = bind_top_level(document);

    std::string added;
    note_added(root, last_top, added);
    if (comports_before != nullptr) {
        note_added(comports_before, last_port, added);
    }
    if (!added.empty()) {
        add_top_level(report, Severity::note, root_path,
                      "the file lacks " + added + "; the editor adds them with their defaults when it opens the file");
    }

    const TiXmlElement* used[] = {top.path_bin, top.path_xml, top.path_log, top.comports, top.stations};
    for (const TiXmlElement* child = xml_first_child(root); child != nullptr; child = xml_next_sibling(child)) {
        if (std::find(std::begin(used), std::end(used), child) != std::end(used)) {
            continue;
        }
        const bool holds_stations = xml_text_equals(xml_name(child), "STATIONS") && xml_first_child(child) != nullptr;
        add_top_level(report, Severity::note, root_path + "/" + xml_name(child),
                      holds_stations ? "the editor lists only the stations of the first STATIONS element and keeps "
                                       "this one as it is"
                                     : unused,
                      "unused");
    }
    for (const TiXmlElement* port = xml_first_child(top.comports); port != nullptr; port = xml_next_sibling(port)) {
        if (port != top.com_direct && port != top.com_modem) {
            const bool is_port = xml_text_equals(xml_name(port), "COMPORT");
            add_top_level(report, Severity::note, root_path + "/COMPORTS/" + element_label(port),
                          !is_port ? unused
                          : xml_attr_equals(port, "type", "direct") || xml_attr_equals(port, "type", "modem")
                              ? "a later port of the same type is the one the editor shows; it keeps this one as it is"
                              : "a port neither direct nor modem: the editor does not show it and keeps it as it is",
                          "unused");
        }
    }
    for (const TiXmlElement* child = xml_first_child(top.stations); child != nullptr; child = xml_next_sibling(child)) {
        if (!xml_text_equals(xml_name(child), "STATION")) {
            add_top_level(report, Severity::note, root_path + "/STATIONS/" + xml_name(child), unused, "unused");
        }
    }
}

// Who holds each phone number, in the spelling it compares in: the first
// station, and a second one for a number that is shared.
class PhoneHolders {
public:
    void add(std::string value, int position)
    {
        auto found = first.emplace(std::move(value), std::make_pair(position, 0));
        if (!found.second && found.first->second.second == 0) {
            found.first->second.second = position;
        }
    }
    // Another station that holds the value of the station at `position`:
    // the first holder for a later one; with `both_ways` the second for the
    // first one. 0 when there is none.
    int other(const std::string& value, int position, bool both_ways) const
    {
        auto found = first.find(value);
        if (found == first.end()) {
            return 0;
        }
        if (found->second.first != position) {
            return found->second.first;
        }
        return both_ways ? found->second.second : 0;
    }

private:
    std::unordered_map<std::string, std::pair<int, int>> first;
};

// Another station that holds the id of the station at `position` (from 1):
// the first holder for a later one; with `both_ways` the second for the
// first one. 0 when there is none.
int other_id_holder(const StationsById& ids, const char* id, int position, bool both_ways)
{
    const StationsById::Places holders = ids.holders(id);
    if (holders.empty()) {
        return 0;
    }
    if (holders[0] + 1 != position) {
        return holders[0] + 1;
    }
    return both_ways && holders.size() > 1 ? holders[1] + 1 : 0;
}

struct SharedValues {
    explicit SharedValues(const std::vector<TiXmlElement*>& stations) : ids(stations, StationsById::WithoutId::left_out)
    {
    }
    StationsById ids;  // into the document, which outlives the check
    PhoneHolders phones;
};

void check_shared(TiXmlElement* station, int position, const std::vector<TiXmlElement*>& stations,
                  const SharedValues& shared, const CheckOptions& options, StationFindings& findings,
                  const std::string& path)
{
    const bool both_ways = options.only != nullptr;
    const char* id = xml_get_attr(station, "id");
    const int id_holder = id != nullptr ? other_id_holder(shared.ids, id, position, both_ways) : 0;
    if (id_holder != 0) {
        findings.add(Severity::warning, "shared-id", path,
                     "the station at position " + std::to_string(position) +
                         " of the list shares its id with the "
                         "station at position " +
                         std::to_string(id_holder) + " (" +
                         quoted(xml_get_attr_text(stations[id_holder - 1], "description")) + ")");
    }
    const char* phone = xml_get_attr(station, "phone_nbr");
    const int phone_holder = phone != nullptr && *phone != '\0'
                                 ? shared.phones.other(phone_key(phone, options.country_code), position, both_ways)
                                 : 0;
    if (phone_holder != 0) {
        const std::string other = xml_get_attr_text(stations[phone_holder - 1], "phone_nbr");
        findings.add(Severity::warning, "shared-phone", path,
                     "the phone number " + quoted(phone) + " is also the phone number of station " +
                         station_name(stations[phone_holder - 1], phone_holder) + " at position " +
                         std::to_string(phone_holder) + (other != phone ? " (written " + quoted(other) + ")" : ""));
    }
}

// The line of the text at `offset`, counted from 1.
int line_at(const std::string& text, size_t offset, size_t& counted_to, int& line)
{
    for (; counted_to < offset; ++counted_to) {
        line += text[counted_to] == '\n' ? 1 : 0;
    }
    return line;
}

}  // namespace

// One row a rule: what it files and on what. The counts, --rule and its
// help all list the rules in this order.
const char* const check_rule_names[] = {
    "encoding",          // warning: a UTF-8 file, character references above 255
    "top-level",         // note: what the editor adds to the top level
    "shared-id",         // warning: an id two stations hold
    "shared-phone",      // warning: a phone number two stations hold, in any spelling
    "id",                // warning: an id the editor shows and stores otherwise
    "pin",               // warning: pin and PIN_CODE differ, a PIN not 4 to 8 digits
    "phone-number",      // warning: phone and SMS numbers not digits with an optional '+'
    "sms-length",        // warning: an alarm text longer than one SMS
    "timing",            // warning: timings not decimal seconds or not whole units
    "gprs",              // warning: GPRS push without a host or an access point
    "text",              // warning: control characters, blanks at the ends of names
    "threshold",         // warning: thresholds that are not decimal numbers
    "incomplete",        // note: what the station dialog adds
    "unused",            // note: elements the editor keeps without reading
    "sequence-rewrite",  // warning or note: a sequence OK in its dialog rewrites
};
const int check_rule_count = static_cast<int>(sizeof check_rule_names / sizeof check_rule_names[0]);

std::string phone_key(const std::string& number, const std::string& country_code)
{
    std::string key;
    for (char c : number) {
        if (c != ' ' && c != '.' && c != '-') {
            key += c;
        }
    }
    if (key.compare(0, 2, "00") == 0) {
        key.replace(0, 2, "+");
    } else if (!country_code.empty() && key.size() > 1 && key[0] == '0') {
        key.replace(0, 1, "+" + country_code);
    }
    return key;
}

namespace {

// Whether the byte at `at` is in the value of an attribute that holds a
// secret, read from the start of its tag: a finding about that byte must
// not quote what the secret holds.
bool in_secret(const std::string& bytes, size_t at)
{
    const size_t tag = bytes.rfind('<', at);
    if (tag == std::string::npos) {
        return false;
    }
    auto name_end = [&](size_t from) {
        while (from < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[from])) &&
               std::strchr("=/>", bytes[from]) == nullptr) {
            ++from;
        }
        return from;
    };
    auto blanks_end = [&](size_t from) {
        while (from < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[from]))) {
            ++from;
        }
        return from;
    };
    size_t i = name_end(tag + 1);
    const std::string element = bytes.substr(tag + 1, i - tag - 1);
    while (i < at) {
        const size_t name_start = blanks_end(i);
        i = name_end(name_start);
        if (i == name_start) {
            return false;  // the end of the tag
        }
        const std::string attribute = bytes.substr(name_start, i - name_start);
        i = blanks_end(i);
        if (i >= bytes.size() || bytes[i] != '=') {
            return false;
        }
        i = blanks_end(i + 1);
        if (i >= bytes.size() || (bytes[i] != '"' && bytes[i] != '\'')) {
            return false;
        }
        const size_t end = bytes.find(bytes[i], i + 1);
        if (end == std::string::npos || at < end) {
            return at > i && is_secret_attribute(element.c_str(), attribute.c_str());
        }
        i = end + 1;
    }
    return false;
}

}  // namespace

void check_encoding(const std::string& bytes, std::vector<Finding>& findings)
{
    auto add = [&](std::string where, std::string message) {
        findings.push_back(Finding{Severity::warning, "encoding", top_level, std::move(where), std::move(message)});
    };
    const std::string stations_read = "; the stations read the file as Windows-1252";
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        add("line 1", "the file starts with a UTF-8 byte-order mark: it was saved as UTF-8" + stations_read);
    }
    size_t counted_to = 0;
    int line = 1;
    bool utf8_said = false;
    for (size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0xC2 && !utf8_said) {
            const size_t length = utf8_sequence_length(bytes, i);
            if (length != 0) {
                utf8_said = true;
                // Findings are document text: the letter meant, and the bytes
                // as the stations take them.
                const std::string character = bytes.substr(i, length);
                std::string meant;
                const bool held = cp1252_from_utf8(character, meant);
                const std::string where = "line " + std::to_string(line_at(bytes, i, counted_to, line));
                if (in_secret(bytes, i)) {
                    add(where, "the file holds UTF-8 text in a PIN or password: a character is written as " +
                                   std::to_string(length) +
                                   " bytes, which the editor and the stations read as other characters" +
                                   stations_read);
                } else {
                    add(where,
                        "the file holds UTF-8 text: " + (held ? quoted(meant) + " is written as " : std::string()) +
                            std::to_string(length) + " bytes, which the editor and the stations read as " +
                            quoted(character) + stations_read);
                }
                i += length - 1;
            }
            continue;
        }
        if (c != '&' || i + 3 >= bytes.size() || bytes[i + 1] != '#') {
            continue;
        }
        const bool hex = bytes[i + 2] == 'x';
        size_t end = i + (hex ? 3 : 2);
        unsigned long code = 0;
        for (; end < bytes.size() && end - i < 12; ++end) {
            const char d = bytes[end];
            const int digit = d >= '0' && d <= '9'          ? d - '0'
                              : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                            : -1;
            if (digit < 0) {
                break;
            }
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        }
        if (end >= bytes.size() || bytes[end] != ';' || code <= 0xFF) {
            continue;
        }
        if (in_secret(bytes, i)) {
            add("line " + std::to_string(line_at(bytes, i, counted_to, line)),
                "a character reference in a PIN or password is above 255: the editor keeps its last byte and "
                "stores another character");
            continue;
        }
        // The loader keeps one byte of each reference: its lowest.
        const std::string reference = bytes.substr(i, end + 1 - i);
        const unsigned char stored = static_cast<unsigned char>(code & 0xFF);
        char held = 0;
        const bool in_code_page = code <= 0x10FFFF && cp1252_from_unicode(static_cast<char32_t>(code), &held);
        const std::string instead = stored < 0x20 || stored == 0x7F ? "the control character " + std::to_string(stored)
                                                                    : quoted(std::string(1, static_cast<char>(stored)));
        add("line " + std::to_string(line_at(bytes, i, counted_to, line)),
            "the character reference " + reference + " is above 255: the editor keeps its last byte and stores " +
                instead +
                (in_code_page ? " (Windows-1252 holds this character as the byte " +
                                    std::to_string(static_cast<unsigned char>(held)) + ": write &#" +
                                    std::to_string(static_cast<unsigned char>(held)) + "; instead)"
                              : " (Windows-1252 has no such character)"));
    }
}

const char* severity_name(Severity severity)
{
    switch (severity) {
        case Severity::error:
            return "error";
        case Severity::warning:
            return "warning";
        case Severity::note:
            return "note";
    }
    return "note";
}

CheckReport check_document(myXMLdocument& document, const CheckOptions& options)
{
    CheckReport report;
    if (options.only == nullptr) {
        check_top_level(document, report);
    } else {
        bind_top_level(document);
    }
    const std::vector<TiXmlElement*> stations = listed_stations(document);
    report.stations = static_cast<int>(stations.size());
    SharedValues shared(stations);
    for (size_t index = 0; index < stations.size(); ++index) {
        const int position = static_cast<int>(index) + 1;
        const char* phone = xml_get_attr(stations[index], "phone_nbr");
        if (phone != nullptr && *phone != '\0') {
            shared.phones.add(phone_key(phone, options.country_code), position);
        }
    }
    std::unordered_set<const TiXmlElement*> only;
    if (options.only != nullptr) {
        only.insert(options.only->begin(), options.only->end());
    }
    SequenceReadings readings;
    if (options.only != nullptr) {
        std::copy(std::begin(options.known_sequences), std::end(options.known_sequences), readings.known);
    }
    for (size_t index = 0; index < stations.size(); ++index) {
        const int position = static_cast<int>(index) + 1;
        if (options.only != nullptr && only.count(stations[index]) == 0) {
            continue;
        }
        StationUnderCheck station;
        station.record = stations[index];
        station.stored = find_station_parts(station.record);
        station.missing = missing_station_pieces(station.record, station.stored);
        const CompletedStation completed(station.record, station.stored, station.missing.empty());
        station.completed = &completed;
        station.values = load_station_values(completed.element(), completed.parts());
        station.path = station_path(station.record, position);

        StationFindings findings(report.findings, station_name(station.record, position));
        check_shared(station.record, position, stations, shared, options, findings, station.path);
        check_station_values(station, findings);
        check_station_texts(station, findings);
        check_station_sequences(station, readings, findings);
        check_station_structure(station, findings);
    }
    return report;
}

CheckReport check_settings_file(myXMLdocument& document, const char* file_name, const CheckOptions& options)
{
    CheckReport report;
    std::string bytes, error;
    std::vector<Finding> encoding;
    bool loaded = false;
    try {
        loaded = read_whole_file(file_name, bytes, error);
        if (loaded) {
            check_encoding(bytes, encoding);
            loaded = parse_document(*document.doc, std::move(bytes), error);
        }
    } catch (const std::bad_alloc&) {
        document.doc->Clear();
        error = "not enough memory to load the file";
        loaded = false;
    }
    document.root = loaded ? document.doc->RootElement() : nullptr;
    if (loaded) {
        error = foreign_root_error(document.root);
    }
    if (!error.empty()) {
        report.refused = true;
        report.reason = error;
        report.findings.push_back(
            Finding{Severity::error, "", top_level, std::string(), "the editor refuses the file: " + report.reason});
        return report;
    }
    report = check_document(document, options);
    report.findings.insert(report.findings.begin(), encoding.begin(), encoding.end());
    return report;
}
