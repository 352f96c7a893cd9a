// The STATION record: the default content of a new station, completion of
// older or hand-edited records, and the rule that nothing present changes.
#include <gtest/gtest.h>

#include <string>

#include "station/station_record.h"
#include "station/station_values.h"
#include "support/core_tree.h"
#include "support/station_fleet.h"

namespace {

const char* const default_record =
    "STATION id=\"100\" phone_nbr=\"330000000000\" pin=\"6852\" description=\"new station\"\n"
    "  CONFIGURATION value=\"0\"\n"
    "    SYSCTRL acq_enabled=\"on\" acq_automatic=\"on\" acq_dump=\"on\" flash_store=\"on\" acq_on_ring=\"off\""
    " acq_fast_interval=\"on\" gsm_enabled=\"on\" gsm_call=\"off\" gprs=\"off\" call_on_ring=\"off\" time_zone=\"2\"\n"
    "    HTTP_HOST host=\"data.kestrane.example\" port=\"80\"\n"
    "    HTTP_URL value=\"/gprs/default.php\"\n"
    "    USERNAME value=\"kestrane\"\n"
    "    PASSWORD value=\"pqwz\"\n"
    "    GPRS_APN_USERNAME value=\"\"\n"
    "    GPRS_APN_PASSWORD value=\"\"\n"
    "    GPRS_APN_NAME value=\"internet.operator.example\"\n"
    "    ACQ_INTERVAL0 value=\"900\"\n"
    "    ACQ_INTERVAL1 value=\"300\"\n"
    "    GSM_INTERVAL value=\"86400\"\n"
    "    GSM_DURATION value=\"600\"\n"
    "    GSM_SMS_DURATION value=\"900\"\n"
    "    SMS_NUMBER value=\"0600000000\"\n"
    "    SMS_TEXT_ACQ value=\"ALARM ! NUXO \"\n"
    "    SMS_TEXT_EOL value=\"Low Bat. NUXO \"\n"
    "    SYSTEM_CONFIG filter=\"4\" acq_number=\"0\" gsm_number=\"0\"\n"
    "    PIN_CODE value=\"6852\"\n"
    "  CONFIGURATION value=\"1\"\n"
    "    ACQUISITION_SEQUENCE value=\"0\"\n"
    "      PROBES_POWER state=\"1\"\n"
    "      ACQ_VBAT channel=\"0\"\n"
    "      PROBES_POWER state=\"0\"\n"
    "    ACQUISITION_SEQUENCE value=\"1\"\n"
    "      PROBES_POWER state=\"1\"\n"
    "      ACQ_VBAT channel=\"0\"\n"
    "      PROBES_POWER state=\"0\"\n"
    "    ACQUISITION_SEQUENCE value=\"2\"\n"
    "      PROBES_POWER state=\"1\"\n"
    "      ACQ_VBAT channel=\"0\"\n"
    "      PROBES_POWER state=\"0\"\n";

// A STATION parsed from inline XML and completed; keeps the document alive
// for the parts.
struct Completed {
    ParsedXml doc;
    StationParts parts;
    std::string text;

    explicit Completed(const char* xml) : doc(xml)
    {
        if (doc.root != nullptr) {
            parts = complete_station_defaults(doc.root);
            text = render_tree(doc.root);
        }
    }
};

// The parameter element `name` of a completed record, rendered on one line.
std::string parameter_line(const std::string& record, const char* name)
{
    size_t at = record.find(std::string("    ") + name + " ");
    return at == std::string::npos ? "" : record.substr(at + 4, record.find('\n', at) - at - 4);
}

TEST(StationDefaults, EmptyStationBecomesTheDefaultRecordInOrder)
{
    TiXmlElement station("STATION");
    StationParts parts = complete_station_defaults(&station);
    EXPECT_EQ(default_record, render_tree(&station));

    TiXmlElement* cfg0 = station.FirstChildElement();
    TiXmlElement* cfg1 = cfg0->NextSiblingElement();
    EXPECT_EQ(cfg0, parts.cfg_parameters);
    EXPECT_EQ(cfg1, parts.cfg_sequences);
    EXPECT_EQ(cfg1->FirstChildElement(), parts.sequence(role_slow));
    EXPECT_EQ(parts.sequence(role_slow)->NextSiblingElement(), parts.sequence(role_fast));
    EXPECT_EQ(parts.sequence(role_fast)->NextSiblingElement(), parts.sequence(role_health));
}

TEST(StationDefaults, CompletingTwiceEqualsCompletingOnce)
{
    TiXmlElement station("STATION");
    StationParts first = complete_station_defaults(&station);
    std::string once = render_tree(&station);
    StationParts second = complete_station_defaults(&station);
    EXPECT_EQ(once, render_tree(&station));
    EXPECT_EQ(first.sequence(role_health), second.sequence(role_health));

    EXPECT_EQ(nullptr, complete_station_defaults(nullptr).cfg_parameters);
    EXPECT_EQ(nullptr, ensure_parameter(nullptr, "SMS_NUMBER", "value", "1"));
}

// Each value the station dialog shows starts as its field's default: a new
// field whose default completion does not create shows empty instead.
TEST(StationDefaults, ANewStationHoldsTheDefaultOfEveryField)
{
    TiXmlElement station("STATION");
    const StationParts parts = complete_station_defaults(&station);
    const StationValues shown = load_station_values(&station, parts);
    for (const StationField& field : station_fields) {
        ASSERT_NE(nullptr, field.default_value) << field.column;
        const TiXmlElement* holder =
            field.element != nullptr ? find_parameter(parts.cfg_parameters, field.element) : &station;
        const std::string stored = field.source == FieldSource::gsm_mode ? shown.text[&field - station_fields]
                                                                         : xml_get_attr_text(holder, field.attribute);
        EXPECT_EQ(field.default_value, stored) << field.column;
    }
    EXPECT_STREQ(station_fields[field_pin].default_value, xml_get_attr(&station, "pin"));
}

TEST(StationRoles, ConfigurationFoundIgnoringCaseAndWithoutValue)
{
    Completed done(
        "<STATION><configuration value=\"0\"><USERNAME value=\"ops\"/></configuration>"
        "<Configuration/></STATION>");
    // Both count as parameter configurations (no value reads as 0); the last wins.
    EXPECT_STREQ("Configuration", done.parts.cfg_parameters->Value());
    EXPECT_EQ(0u, done.text.find("STATION id=\"100\""));
    EXPECT_NE(std::string::npos,
              done.text.find("  configuration value=\"0\"\n    USERNAME value=\"ops\"\n  Configuration\n"
                             "    SYSCTRL"));
    EXPECT_EQ(std::string::npos, done.text.find("CONFIGURATION value=\"0\""));
    EXPECT_NE(std::string::npos, done.text.find("  CONFIGURATION value=\"1\"\n"));
}

TEST(StationRoles, TwoParameterConfigurationsOnlyTheLastIsCompleted)
{
    Completed done(
        "<STATION><CONFIGURATION value=\"0\" tag=\"first\"/>"
        "<CONFIGURATION value=\"0\" tag=\"second\"/></STATION>");
    EXPECT_STREQ("second", done.parts.cfg_parameters->Attribute("tag"));
    EXPECT_NE(std::string::npos, done.text.find("  CONFIGURATION value=\"0\" tag=\"first\"\n"
                                                "  CONFIGURATION value=\"0\" tag=\"second\"\n    SYSCTRL"));
}

TEST(StationRoles, UnknownRolesStayAndDoNotCount)
{
    Completed done(
        "<STATION><CONFIGURATION value=\"2\"><X/></CONFIGURATION>"
        "<CONFIGURATION value=\"-1\"/><OTHER a=\"b\"/></STATION>");
    EXPECT_EQ(0u,
              done.text.find("STATION id=\"100\" phone_nbr=\"330000000000\" pin=\"6852\" description=\"new station\"\n"
                             "  CONFIGURATION value=\"2\"\n    X\n"
                             "  CONFIGURATION value=\"-1\"\n"
                             "  OTHER a=\"b\"\n"
                             "  CONFIGURATION value=\"0\"\n    SYSCTRL"));
    EXPECT_STREQ("0", done.parts.cfg_parameters->Attribute("value"));
}

TEST(StationRoles, SequencesFoundByRoleLastOneWinsMissingOnesAppended)
{
    Completed done(
        "<STATION><CONFIGURATION value=\"1\">"
        "<acquisition_sequence value=\"1\"><WAIT timeout=\"9\"/></acquisition_sequence>"
        "<ACQUISITION_SEQUENCE value=\"1\" tag=\"later\"/>"
        "<ACQUISITION_SEQUENCE value=\"7\"/>"
        "</CONFIGURATION></STATION>");
    EXPECT_STREQ("later", done.parts.sequence(role_fast)->Attribute("tag"));
    EXPECT_EQ(nullptr, done.parts.sequence(role_fast)->FirstChildElement());  // present sequences are never refilled
    EXPECT_STREQ("0", done.parts.sequence(role_slow)->Attribute("value"));
    EXPECT_STREQ("2", done.parts.sequence(role_health)->Attribute("value"));
    // The sequence configuration came first, so the parameter configuration follows it.
    EXPECT_NE(std::string::npos,
              done.text.find("  CONFIGURATION value=\"1\"\n"
                             "    acquisition_sequence value=\"1\"\n      WAIT timeout=\"9\"\n"
                             "    ACQUISITION_SEQUENCE value=\"1\" tag=\"later\"\n"
                             "    ACQUISITION_SEQUENCE value=\"7\"\n"
                             "    ACQUISITION_SEQUENCE value=\"0\"\n      PROBES_POWER state=\"1\"\n"));
    EXPECT_NE(std::string::npos, done.text.find("      PROBES_POWER state=\"0\"\n  CONFIGURATION value=\"0\"\n"));
    EXPECT_EQ(done.parts.sequence(role_health), done.parts.cfg_sequences->LastChild());
}

TEST(StationValues, PresentValuesStayEvenWhenEmptyOrOdd)
{
    Completed done(
        "<STATION description=\"Puits\" pin=\"\" extra=\"x\">"
        "<CONFIGURATION value=\"0\">"
        "<HTTP_HOST port=\"8080\"/>"
        "<SYSCTRL gprs=\"ON\" time_zone=\"\"/>"
        "<GPRS_APN_NAME/>"
        "</CONFIGURATION></STATION>");
    // Missing station attributes come after the present ones, in their own order.
    EXPECT_EQ(0u, done.text.find("STATION description=\"Puits\" pin=\"\" extra=\"x\" id=\"100\""
                                 " phone_nbr=\"330000000000\"\n"));
    EXPECT_EQ("HTTP_HOST port=\"8080\" host=\"data.kestrane.example\"", parameter_line(done.text, "HTTP_HOST"));
    EXPECT_EQ(
        "SYSCTRL gprs=\"ON\" time_zone=\"\" acq_enabled=\"on\" acq_automatic=\"on\" acq_dump=\"on\""
        " flash_store=\"on\" acq_on_ring=\"off\" acq_fast_interval=\"on\" gsm_enabled=\"on\" gsm_call=\"off\""
        " call_on_ring=\"off\"",
        parameter_line(done.text, "SYSCTRL"));
    EXPECT_EQ("GPRS_APN_NAME value=\"internet.operator.example\"", parameter_line(done.text, "GPRS_APN_NAME"));
    EXPECT_EQ("PIN_CODE value=\"6852\"", parameter_line(done.text, "PIN_CODE"));
}

TEST(StationParameters, NamesMatchExactlySoLowerCaseSysctrlGetsASibling)
{
    Completed done(
        "<STATION><CONFIGURATION value=\"0\"><sysctrl gprs=\"on\"/></CONFIGURATION>"
        "</STATION>");
    EXPECT_NE(std::string::npos, done.text.find("    sysctrl gprs=\"on\"\n    SYSCTRL acq_enabled=\"on\""));
    EXPECT_NE(std::string::npos, parameter_line(done.text, "SYSCTRL").find(" gprs=\"off\""));
}

TEST(StationParameters, MissingSmsNumberIsAppendedLast)
{
    TiXmlElement station("STATION");
    StationParts parts = complete_station_defaults(&station);
    TiXmlElement* sms = parts.cfg_parameters->FirstChildElement("SMS_NUMBER");
    parts.cfg_parameters->RemoveChild(sms);
    xml_add_child(parts.cfg_parameters, "LOCAL_NOTE");

    complete_station_defaults(&station);
    const TiXmlElement* last = parts.cfg_parameters->LastChild()->ToElement();
    EXPECT_STREQ("SMS_NUMBER", last->Value());
    EXPECT_STREQ("0600000000", last->Attribute("value"));
    EXPECT_STREQ("LOCAL_NOTE", last->PreviousSibling()->Value());
}

// A record without PIN_CODE got the default PIN there, which the station
// dialog then showed and stored over the station's real PIN.
TEST(StationParameters, MissingPinCodeTakesTheStationsPin)
{
    TiXmlElement station("STATION");
    xml_set_attr(&station, "pin", "4711");
    StationParts parts = complete_station_defaults(&station);
    EXPECT_STREQ(xml_get_attr(xml_find_path(parts.cfg_parameters, "PIN_CODE"), "value"), "4711");
    TiXmlElement empty_pin("STATION");
    xml_set_attr(&empty_pin, "pin", "");
    parts = complete_station_defaults(&empty_pin);
    EXPECT_STREQ(xml_get_attr(xml_find_path(parts.cfg_parameters, "PIN_CODE"), "value"), "6852");
}

// Every piece said missing is one that completion adds, and the other way round.
TEST(StationCompleteness, MissingPiecesAreWhatCompletionWouldAdd)
{
    auto missing = [](TiXmlElement* station) {
        std::string names;
        for (const std::string& piece : missing_station_pieces(station)) {
            names += piece + "|";
        }
        TiXmlElement completed(*station);
        complete_station_defaults(&completed);
        EXPECT_EQ(names.empty(), render_tree(&completed) == render_tree(station)) << names;
        return names;
    };
    TiXmlElement empty("STATION");
    EXPECT_EQ(
        "id|phone_nbr|pin|description|the parameter configuration (CONFIGURATION value 0)|the sequence "
        "configuration (CONFIGURATION value 1)|",
        missing(&empty));

    TiXmlElement station("STATION");
    StationParts parts = complete_station_defaults(&station);
    EXPECT_EQ("", missing(&station));
    // Out of the editor's order, and an earlier SYSCTRL that is not the one read.
    TiXmlElement* sysctrl = find_parameter(parts.cfg_parameters, "SYSCTRL");
    sysctrl->RemoveAttribute("acq_dump");
    sysctrl->RemoveAttribute("time_zone");
    xml_remove_child(parts.cfg_parameters, find_parameter(parts.cfg_parameters, "HTTP_URL"));
    xml_set_attr(xml_add_child(parts.cfg_parameters, "HTTP_URL"), "value", "/push");
    xml_remove_child(parts.cfg_parameters, find_parameter(parts.cfg_parameters, "GSM_SMS_DURATION"));
    xml_remove_child(parts.cfg_sequences, parts.sequence(role_fast));
    EXPECT_EQ("the Fast sequence|SYSCTRL (acq_dump, time_zone)|GSM_SMS_DURATION|", missing(&station));
}

TEST(StationParameters, EnsureParameterFindsFirstAndAddsOnlyAMissingAttribute)
{
    TiXmlElement cfg("CONFIGURATION");
    TiXmlElement* first = xml_add_child(&cfg, "SMS_TEXT_ACQ");
    xml_add_child(&cfg, "SMS_TEXT_ACQ");
    EXPECT_EQ(first, ensure_parameter(&cfg, "SMS_TEXT_ACQ", "value", "A"));
    EXPECT_EQ(first, ensure_parameter(&cfg, "SMS_TEXT_ACQ", "value", "B"));
    EXPECT_EQ("SMS_TEXT_ACQ value=\"A\"\nSMS_TEXT_ACQ\n", render_children(&cfg));
}

TEST(StationFleet, EveryGeneratedStationIsCompleteAndReproducible)
{
    myXMLdocument first("SETUP");
    myXMLdocument second("SETUP");
    TiXmlElement* stations = build_fleet(first, 25);
    build_fleet(second, 25);
    ASSERT_NE(nullptr, stations);
    EXPECT_EQ(render_tree(first.root), render_tree(second.root));

    int count = 0;
    bool high_byte = false;
    for (TiXmlElement* station = stations->FirstChildElement(); station != nullptr;
         station = station->NextSiblingElement(), ++count) {
        for (const char* c = station->Attribute("description"); c != nullptr && *c != '\0'; ++c) {
            high_byte = high_byte || static_cast<unsigned char>(*c) > 0x7F;
        }
        std::string before = render_tree(station);
        complete_station_defaults(station);
        EXPECT_EQ(before, render_tree(station)) << "station " << count << " was not complete";
    }
    EXPECT_EQ(25, count);
    EXPECT_TRUE(high_byte);
}

}  // namespace
