// The rules of zantor-fleet check, each with the case that passes beside the
// case it reports, on a file of two complete stations.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "doc/top_level.h"
#include "fleet/check/rules.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"
#include "station/station_values.h"

namespace {

using Edit = std::function<void(myXMLdocument& document, TiXmlElement* first, TiXmlElement* second)>;

// The findings of a file of two new stations, ids 1 and 2, after `edit`.
std::vector<Finding> findings_of(const Edit& edit)
{
    myXMLdocument document("SETUP");
    TiXmlElement* stations = bind_top_level(document).stations;
    TiXmlElement* first = xml_add_child(stations, "STATION");
    TiXmlElement* second = xml_add_child(stations, "STATION");
    complete_station_defaults(first);
    complete_station_defaults(second);
    xml_set_attr(first, "id", "1");
    xml_set_attr(second, "id", "2");
    xml_set_attr(second, "phone_nbr", "330000000001");
    edit(document, first, second);
    return check_document(document).findings;
}

// One line a finding, "severity (rule) station where: message": a finding
// filed under another rule's name is counted and filtered as that rule.
std::string lines_of(const std::vector<Finding>& findings)
{
    std::string lines;
    for (const Finding& f : findings) {
        lines += std::string(severity_name(f.severity)) + " (" + f.rule + ") " + f.station + " " + f.where + ": " +
                 f.message + "\n";
    }
    return lines;
}

std::string findings_after(const Edit& edit)
{
    return lines_of(findings_of(edit));
}

void set_parameter(TiXmlElement* station, const char* element, const char* value, const char* attribute = "value")
{
    xml_set_attr(find_parameter(find_station_parts(station).cfg_parameters, element), attribute, value);
}

// The edit that sets the first station's parameter `element` to `value`.
Edit parameter(const char* element, const std::string& value)
{
    return [element, value](myXMLdocument&, TiXmlElement* first, TiXmlElement*) {
        set_parameter(first, element, value.c_str());
    };
}

void set_pin(TiXmlElement* station, const char* pin)
{
    xml_set_attr(station, "pin", pin);
    set_parameter(station, "PIN_CODE", pin);
}

void push_over_gprs(TiXmlElement* station)
{
    set_parameter(station, "SYSCTRL", "on", "gsm_call");
    set_parameter(station, "SYSCTRL", "on", "gprs");
}

// The Slow sequence measuring analog channel 2 against `threshold`, with the
// end-of-life check at `eol`.
void slow_thresholds(TiXmlElement* station, const char* threshold, const char* eol)
{
    SequenceChoices choices;
    choices.vbat = choices.vbat_eol = true;
    choices.vbat_threshold = eol;
    choices.channels[find_channel(7, 0, 2)] = ChannelChoice{true, compare_ge, threshold};
    rebuild_sequence(find_station_parts(station).sequence(role_slow), choices);
}

const std::string first_parameters = "STATION[id=1]/CONFIGURATION[value=0]/";
const std::string first_slow = "STATION[id=1]/CONFIGURATION[value=1]/ACQUISITION_SEQUENCE[value=0]";

// The bytes of a file, and the findings of the encoding rule on them.
struct EncodingCase {
    const char* bytes;
    const char* expected;  // the messages, one a line
};
const EncodingCase encoding_cases[] = {
    {"<SETUP d=\"Pr\xE9\"/>", ""},
    {"\xEF\xBB\xBF<SETUP/>",
     "line 1: the file starts with a UTF-8 byte-order mark: it was saved as UTF-8; the stations read the file as "
     "Windows-1252\n"},
    {"<SETUP>\n<A d=\"Pr\xC3\xA9 Carr\xC3\xA9\"/>",
     "line 2: the file holds UTF-8 text: \"\xE9\" is written as 2 bytes, which the editor and the stations read "
     "as \"\xC3\xA9\"; the stations read the file as Windows-1252\n"},
    {"<SETUP d=\"&#xE9;&#233;\n&#x153; &#x2013;\"/>",
     "line 2: the character reference &#x153; is above 255: the editor keeps its last byte and stores \"S\" "
     "(Windows-1252 holds this character as the byte 156: write &#156; instead)\n"
     "line 2: the character reference &#x2013; is above 255: the editor keeps its last byte and stores the control "
     "character 19 (Windows-1252 holds this character as the byte 150: write &#150; instead)\n"},
    // In a PIN or a password, whatever the attributes before it hold, the
    // character is not quoted.
    {"<SETUP>\n<A d='a>\"b' pin = '1\xC3\xA9'/>",
     "line 2: the file holds UTF-8 text in a PIN or password: a character is written as 2 bytes, which the "
     "editor and the stations read as other characters; the stations read the file as Windows-1252\n"},
    {"<PASSWORD old=\"&#x2013;\">&#x153;</PASSWORD><A password=\"1\" d=\"&#x153;\"/>",
     "line 1: a character reference in a PIN or password is above 255: the editor keeps its last byte and stores "
     "another character\n"
     "line 1: the character reference &#x153; is above 255: the editor keeps its last byte and stores \"S\" "
     "(Windows-1252 holds this character as the byte 156: write &#156; instead)\n"
     "line 1: the character reference &#x153; is above 255: the editor keeps its last byte and stores \"S\" "
     "(Windows-1252 holds this character as the byte 156: write &#156; instead)\n"},
};

struct Rule {
    const char* name;
    Edit passes;
    Edit reports;
    std::string expected;
};

TEST(FleetCheck, EveryRulePassesItsGoodCaseAndReportsItsBadOne)
{
    EXPECT_EQ("", findings_after([](myXMLdocument&, TiXmlElement*, TiXmlElement*) {}));
    const Rule rules[] = {
        {"shared id", [](auto&, auto*, auto* b) { xml_set_attr(b, "id", "10"); },
         [](auto&, auto*, auto* b) { xml_set_attr(b, "id", "1"); },
         "warning (shared-id) 1 STATION[id=1]: the station at position 2 of the list shares its id with the station at "
         "position 1 (\"new station\")\n"},
        {"shared phone number", [](auto&, auto*, auto* b) { xml_set_attr(b, "phone_nbr", "330000000002"); },
         [](auto&, auto*, auto* b) { xml_set_attr(b, "phone_nbr", "330000000000"); },
         "warning (shared-phone) 2 STATION[id=2]: the phone number \"330000000000\" is also the phone number of "
         "station 1 at position 1\n"},
        // Caught: the same number in two spellings was not found.
        {"phone number in another spelling",
         [](auto&, auto* a, auto* b) {
             xml_set_attr(a, "phone_nbr", "+33640493074");
             xml_set_attr(b, "phone_nbr", "0033640493075");
         },
         [](auto&, auto* a, auto* b) {
             xml_set_attr(a, "phone_nbr", "+33640493074");
             xml_set_attr(b, "phone_nbr", "0033640493074");
         },
         "warning (shared-phone) 2 STATION[id=2]: the phone number \"0033640493074\" is also the phone number of "
         "station 1 at position 1 (written \"+33640493074\")\n"},
        // Caught: an import stored a line break and blanks that check did not flag.
        {"values of one line", parameter("GPRS_APN_NAME", "apn example"),
         [](auto&, auto* a, auto*) {
             xml_set_attr(a, "description", "two\nlines");
             set_parameter(a, "HTTP_HOST", " data.example ", "host");
         },
         "warning (text) 1 STATION[id=1]: the Description holds a line break or another control character, which its "
         "box cannot show\n"
         "warning (text) 1 STATION[id=1]/CONFIGURATION[value=0]/HTTP_HOST: the HTTP HOST \" data.example \" has blanks "
         "at its ends\n"},
        {"id shown otherwise", [](auto&, auto* a, auto*) { xml_set_attr(a, "id", "-12"); },
         [](auto&, auto* a, auto*) { xml_set_attr(a, "id", "007"); },
         "warning (id) 007 STATION[id=007]: the id \"007\" is not a plain number: the station dialog shows 7 and its "
         "OK stores 7\n"},
        {"pin and PIN_CODE", [](auto&, auto* a, auto*) { set_pin(a, "1234"); },
         [](auto&, auto* a, auto*) { xml_set_attr(a, "pin", "1234"); },
         "warning (pin) 1 " + first_parameters +
             "PIN_CODE: the station's pin differs from its PIN_CODE value: the station dialog shows the PIN_CODE "
             "value and its OK stores it as both\n"},
        {"no PIN_CODE", parameter("PIN_CODE", ""),
         [](auto&, auto* a, auto*) {
             StationParts parts = find_station_parts(a);
             xml_remove_child(parts.cfg_parameters, find_parameter(parts.cfg_parameters, "PIN_CODE"));
             xml_set_attr(a, "pin", "1234");
         },
         "note (incomplete) 1 STATION[id=1]: the record lacks PIN_CODE; the station dialog adds them with their "
         "defaults when it opens the station\n"},
        {"PIN digits", [](auto&, auto* a, auto*) { set_pin(a, "12345678"); },
         [](auto&, auto* a, auto*) { set_pin(a, "123456789"); },
         "warning (pin) 1 " + first_parameters + "PIN_CODE: the PIN is not 4 to 8 digits\n"},
        {"phone number", [](auto&, auto* a, auto*) { xml_set_attr(a, "phone_nbr", "+33612345678"); },
         [](auto&, auto* a, auto*) { xml_set_attr(a, "phone_nbr", "06 12 34"); },
         "warning (phone-number) 1 STATION[id=1]: the phone number \"06 12 34\" is not digits with an optional leading "
         "\"+\"\n"},
        {"SMS number", parameter("SMS_NUMBER", "+336"), parameter("SMS_NUMBER", ""),
         "warning (phone-number) 1 " + first_parameters + "SMS_NUMBER: the SMS number is empty\n"},
        {"SMS of 160 GSM characters", parameter("SMS_TEXT_ACQ", std::string(160, 'a')),
         parameter("SMS_TEXT_ACQ", std::string(161, 'a')),
         "warning (sms-length) 1 " + first_parameters +
             "SMS_TEXT_ACQ: the SMS message in case of threshold passing is 161 characters long, more than one SMS "
             "holds (160 in the GSM alphabet)\n"},
        {"euro signs count two", parameter("SMS_TEXT_EOL", std::string(80, '\x80')),
         parameter("SMS_TEXT_EOL", std::string(80, '\x80') + "a"),
         "warning (sms-length) 1 " + first_parameters +
             "SMS_TEXT_EOL: the SMS message in case of low battery is 161 characters long, more than one SMS holds "
             "(160 in the GSM alphabet)\n"},
        {"SMS of 70 other characters", parameter("SMS_TEXT_EOL", "\x9C" + std::string(69, 'a')),
         parameter("SMS_TEXT_EOL", "\x9C" + std::string(70, 'a')),
         "warning (sms-length) 1 " + first_parameters +
             "SMS_TEXT_EOL: the SMS message in case of low battery is 71 characters long, more than one SMS holds "
             "(70 as it holds \"\x9C\", which is outside the GSM alphabet)\n"},
        {"time in seconds", parameter("ACQ_INTERVAL1", "-120"), parameter("ACQ_INTERVAL1", "5 min"),
         "warning (timing) 1 " + first_parameters +
             "ACQ_INTERVAL1: ACQ_INTERVAL1 \"5 min\" is not a decimal number of seconds: the station dialog shows 0 "
             "min and its OK stores 0 s\n"},
        {"whole minutes", parameter("GSM_DURATION", "120"), parameter("GSM_DURATION", "90"),
         "warning (timing) 1 " + first_parameters +
             "GSM_DURATION: GSM_DURATION is 90 s, not a whole number of minutes: the station dialog's OK stores 60 s "
             "(1 min)\n"},
        {"whole hours", parameter("GSM_INTERVAL", "7200"), parameter("GSM_INTERVAL", "5400"),
         "warning (timing) 1 " + first_parameters +
             "GSM_INTERVAL: GSM_INTERVAL is 5400 s, not a whole number of hours: the station dialog's OK stores 3600 s "
             "(1 h)\n"},
        {"GPRS host", [](auto&, auto* a, auto*) { push_over_gprs(a); },
         [](auto&, auto* a, auto*) {
             push_over_gprs(a);
             set_parameter(a, "HTTP_HOST", "", "host");
         },
         "warning (gprs) 1 " + first_parameters +
             "HTTP_HOST: the station pushes its data over GPRS but its HTTP HOST is empty\n"},
        {"GPRS access point", parameter("GPRS_APN_NAME", ""),
         [](auto&, auto* a, auto*) {
             push_over_gprs(a);
             set_parameter(a, "GPRS_APN_NAME", "");
         },
         "warning (gprs) 1 " + first_parameters +
             "GPRS_APN_NAME: the station pushes its data over GPRS but its APN NAME is empty\n"},
        {"thresholds", [](auto&, auto* a, auto*) { slow_thresholds(a, "-0.5", "11.9"); },
         [](auto&, auto* a, auto*) { slow_thresholds(a, "3,5", "11,5"); },
         "warning (threshold) 1 " + first_slow +
             "/ACQ_VBAT: the End-Of-Life Threshold \"11,5\" is not a decimal number\n" + "warning (threshold) 1 " +
             first_slow +
             "/ACQ[port=7,channel=2]: the threshold \"3,5\" of [178] Channel 2 : Current input 4-20mA is not a decimal "
             "number\n"},
        {"sequence rewritten with a loss", [](auto&, auto*, auto*) {},
         [](auto&, auto* a, auto*) { xml_add_child(find_station_parts(a).sequence(role_slow), "BLINK"); },
         "warning (sequence-rewrite) 1 " + first_slow +
             ": OK in the sequence dialog would rewrite the Slow sequence and lose the element BLINK, which the editor "
             "does not know\n"},
        {"sequence rewritten without a loss", [](auto&, auto*, auto*) {},
         [](auto&, auto* a, auto*) {
             xml_set_attr(xml_first_child(find_station_parts(a).sequence(role_slow)), "state", "01");
         },
         "note (sequence-rewrite) 1 " + first_slow +
             ": the Slow sequence is not in the form the editor writes; OK in the sequence dialog rewrites it without "
             "losing anything\n"},
        {"pieces the dialog adds", [](auto&, auto*, auto*) {},
         [](auto&, auto* a, auto*) {
             xml_remove_child(find_station_parts(a).cfg_parameters,
                              find_parameter(find_station_parts(a).cfg_parameters, "GSM_SMS_DURATION"));
         },
         "note (incomplete) 1 STATION[id=1]: the record lacks GSM_SMS_DURATION; the station dialog adds them with "
         "their defaults when it opens the station\n"},
        {"elements the editor does not use", [](auto&, auto*, auto*) {},
         [](auto&, auto* a, auto*) {
             xml_add_child(find_station_parts(a).cfg_parameters, "GPS_MODE");
             xml_add_child(find_station_parts(a).cfg_parameters, "SMS_NUMBER");
             xml_set_attr(xml_add_child(a, "CONFIGURATION"), "value", "2");
         },
         "note (unused) 1 " + first_parameters +
             "GPS_MODE: the editor does not use this element and keeps it as it is\n" + "note (unused) 1 " +
             first_parameters + "SMS_NUMBER: the editor does not use this element and keeps it as it is\n" +
             "note (unused) 1 STATION[id=1]/CONFIGURATION[value=2]: the editor does not use this element and keeps it "
             "as it is\n"},
        {"top level", [](auto&, auto*, auto*) {},
         [](myXMLdocument& document, auto*, auto*) {
             xml_remove_child(document.root, document.find_path("/PATH_DATA_XML"));
             xml_add_child(document.root, "MODEM_INIT");
         },
         "note (top-level) top level SETUP: the file lacks PATH_DATA_XML; the editor adds them with their defaults "
         "when it opens the file\n"
         "note (unused) top level SETUP/MODEM_INIT: the editor does not use this element and keeps it as it is\n"},
    };
    std::set<std::string> filed;
    for (const Rule& rule : rules) {
        EXPECT_EQ("", findings_after(rule.passes)) << rule.name;
        const std::vector<Finding> found = findings_of(rule.reports);
        EXPECT_EQ(rule.expected, lines_of(found)) << rule.name;
        for (const Finding& f : found) {
            filed.insert(f.rule);
        }
    }
    for (const EncodingCase& c : encoding_cases) {
        std::vector<Finding> found;
        check_encoding(c.bytes, found);
        for (const Finding& f : found) {
            filed.insert(f.rule);
        }
    }
    // A rule added to the table needs its case here.
    for (int rule = 0; rule < check_rule_count; ++rule) {
        EXPECT_EQ(1u, filed.count(check_rule_names[rule])) << "no case files a finding of " << check_rule_names[rule];
    }
}

TEST(FleetCheck, PhoneNumbersCompareInOneSpelling)
{
    for (const char* spelling : {"+33640493074", "+33 6 40 49 30 74", "0033-640.493.074", "0640493074"}) {
        EXPECT_EQ("+33640493074", phone_key(spelling, "33")) << spelling;
    }
    EXPECT_EQ("0640493074", phone_key("06 40 49 30 74", "")) << "a national number stays national without a code";
}

// Caught: a file saved as UTF-8, and references above 255, read silently as
// other characters.
TEST(FleetCheck, BytesTheStationsReadAsOtherCharacters)
{
    for (const EncodingCase& c : encoding_cases) {
        std::vector<Finding> findings;
        check_encoding(c.bytes, findings);
        std::string lines;
        for (const Finding& f : findings) {
            EXPECT_EQ(Severity::warning, f.severity) << c.bytes;
            EXPECT_STREQ("encoding", f.rule) << c.bytes;
            lines += f.where + ": " + f.message + "\n";
        }
        EXPECT_EQ(c.expected, lines) << c.bytes;
    }
}

TEST(FleetCheck, ARefusedFileIsOneErrorWithTheLoadersReason)
{
    myXMLdocument document(nullptr);
    const CheckReport report = check_settings_file(document, "/nonexistent/settings.xml");
    ASSERT_TRUE(report.refused);
    ASSERT_EQ(1u, report.findings.size());
    EXPECT_EQ(Severity::error, report.findings[0].severity);
    EXPECT_EQ("top level", report.findings[0].station);
    EXPECT_EQ("the editor refuses the file: " + report.reason, report.findings[0].message);
}

}  // namespace
