// The rules of the fleet tool's commands that change a file: reading a
// spreadsheet's CSV, importing its rows, and copying parts of a station.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fleet/change/apply.h"
#include "fleet/change/import.h"
#include "fleet/check/rules.h"
#include "fleet/diff/station_diff.h"
#include "fleet/formats/csv_reader.h"
#include "fleet/station/element_diff.h"
#include "fleet/station/stations.h"
#include "station/station_values.h"
#include "support/core_tree.h"
#include "support/sheet_rows_text.h"

namespace {

std::string records_text(const std::string& text)
{
    std::vector<SheetRow> records;
    int bad_line = 0;
    std::string reason;
    if (!read_csv_sheet(text, records, bad_line, reason)) {
        return std::to_string(bad_line) + ": " + reason;
    }
    return sheet_rows_text(records);
}

TEST(FleetCsvReader, SeparatorsQuotingLineEndsAndEncodings)
{
    EXPECT_EQ("1:[id][a,b]\n2:[1][x][y]\n", records_text("id;\"a,b\"\r\n1;x;y"));
    EXPECT_EQ("1:[id][a;b]\n", records_text("id,\"a;b\""));
    EXPECT_EQ("1:[id][d]\n2:[1][two \"q\"\r\nlines]\n4:[2][]\n",
              records_text("id\td\n1\t\"two \"\"q\"\"\r\nlines\"\r2\t"));
    EXPECT_EQ("1:[id]\n", records_text("id"));
    EXPECT_EQ("2: a quoted cell opens here and is never closed", records_text("id;d\n1;\"open\n\n"));
    // Limits, found as the text is read.
    std::string rows = "id\n";
    for (int row = 0; row < sheet_row_limit; ++row) {
        rows += "1\n";
    }
    EXPECT_EQ("200001: the sheet holds more than 200000 rows: no list of stations is that large", records_text(rows));
    EXPECT_EQ("2: a cell holds more than 32767 characters, more than a spreadsheet's cell holds",
              records_text("id;d\n1;" + std::string(32768, 'x') + "\n"));
    EXPECT_EQ("1: a row holds more than 256 cells: no list of stations is that wide",
              records_text(std::string(256, ';')));
    // A first line naming the separator, as spreadsheets write it, is no row.
    EXPECT_EQ("2:[id][a;b]\n3:[1][x]\n", records_text("sep=,\nid,a;b\n1,x"));
    EXPECT_EQ("2:[id][a,b]\n", records_text("\"SEP=;\"\r\nid;a,b"));
    EXPECT_EQ("2:[id][a]\n", records_text("sep=\t\t\t\rid\ta"));
    EXPECT_EQ("1:[sep=][x]\n2:[id]\n", records_text("sep=;x\nid"));
    EXPECT_EQ("3: a quoted cell opens here and is never closed", records_text("sep=;\nid\n\"open"));
}

TEST(FleetCsvReader, EncodingsAsSpreadsheetsSaveText)
{
    const std::string cafe = "caf\xC3\xA9";
    const struct {
        const char* what;
        std::string bytes;
        std::string text;  // or the reason it is refused
    } cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + cafe, cafe},
        {"UTF-8", cafe, cafe},
        {"Windows-1252", "caf\xE9 \x80", cafe + " \xE2\x82\xAC"},
        {"UTF-16 LE",
         std::string("\xFF\xFE"
                     "c\0a\0f\0\xE9\0\t\0\x3D\xD8\x00\xDE",
                     16),
         cafe + "\t\xF0\x9F\x98\x80"},
        {"UTF-16 BE", std::string("\xFE\xFF\0c\0a\0f\0\xE9\x20\xAC", 12), cafe + "\xE2\x82\xAC"},
        {"UTF-16 without a mark", std::string("i\0d\0", 4),
         "a UTF-16 text without a byte-order mark, which cannot be read for sure; save it as UTF-8 CSV"},
        {"half a character", std::string("\xFF\xFEi\0d", 5),
         "damaged UTF-16 text: it ends in half a character; save it as UTF-8 CSV"},
        {"half a pair", std::string("\xFF\xFEi\0\x3D\xD8i\0", 8),
         "damaged UTF-16 text: half of a character at byte 4; save it as UTF-8 CSV"},
    };
    for (const auto& c : cases) {
        std::string text, reason;
        EXPECT_EQ(c.text, csv_text_as_utf8(c.bytes, text, reason) ? text : reason) << c.what;
    }
}

// A document of complete stations with these ids.
struct Fleet : ParsedXml {
    explicit Fleet(const std::vector<const char*>& ids) : ParsedXml("<SETUP><STATIONS/></SETUP>")
    {
        for (const char* id : ids) {
            TiXmlElement* station = xml_add_child(find_path("/STATIONS"), "STATION");
            complete_station_defaults(station);
            xml_set_attr(station, "id", id);
        }
    }
    TiXmlElement* station(size_t index) { return listed_stations(*this)[index]; }
    const char* parameter(size_t index, const char* element, const char* attribute = "value")
    {
        return xml_get_attr_text(find_parameter(find_station_parts(station(index)).cfg_parameters, element), attribute);
    }
};

std::string errors_text(const ImportOutcome& outcome)
{
    std::string text;
    for (const ImportError& error : outcome.errors) {
        text += std::to_string(error.line) + " " + error.column + ": " + error.reason + "\n";
    }
    return text;
}

TEST(FleetImport, StoresAsTheDialogAndLeavesWhatTheRowDoesNotChange)
{
    Fleet fleet({"1", "2"});
    xml_set_attr(find_parameter(find_station_parts(fleet.station(1)).cfg_parameters, "PASSWORD"), "value", "old");
    const ImportOutcome outcome = import_csv(fleet,
                                             "ID;Pin;password;gsm_duration_min;gsm_interval_h;gsm_mode;description\n"
                                             "1;4321;****; 20 ;2;disabled;\n"
                                             "2;;new;;;;Well\n"
                                             "\n;;;;;;\n");
    EXPECT_EQ("", errors_text(outcome));
    EXPECT_EQ(2, outcome.changed);
    EXPECT_STREQ("4321", xml_get_attr(fleet.station(0), "pin"));
    EXPECT_STREQ("4321", fleet.parameter(0, "PIN_CODE"));
    EXPECT_STREQ("pqwz", fleet.parameter(0, "PASSWORD"));  // **** keeps the secret
    EXPECT_STREQ("1200", fleet.parameter(0, "GSM_DURATION"));
    EXPECT_STREQ("7200", fleet.parameter(0, "GSM_INTERVAL"));
    EXPECT_STREQ("off", fleet.parameter(0, "SYSCTRL", "gsm_enabled"));
    EXPECT_STREQ("new station", xml_get_attr(fleet.station(0), "description"));  // an empty cell keeps it
    EXPECT_STREQ("new", fleet.parameter(1, "PASSWORD"));
    EXPECT_STREQ("Well", xml_get_attr(fleet.station(1), "description"));
    EXPECT_STREQ("6852", fleet.parameter(1, "PIN_CODE"));
}

// A record the import stores into in place keeps its sequences, and is
// kept as it was without them: its lines must be those of the whole record
// as it was against the record now.
TEST(FleetImport, LinesOfARecordWhoseSequencesStayedAreThoseOfTheWholeRecords)
{
    Fleet fleet({"1", "2", "3"});
    xml_remove_child(find_station_parts(fleet.station(2)).cfg_sequences,
                     find_station_parts(fleet.station(2)).sequence(role_fast));
    std::vector<std::shared_ptr<TiXmlElement>> before;
    for (int i = 0; i < 3; ++i) {
        before.push_back(copy_of(fleet.station(i)));
    }
    int seen = 0;
    import_csv(fleet, "id;pin;apn_name;description\n1;4321;;\n2;;apn.example;other\n3;;apn.example;\n", {},
               [&](ChangedStation& changed) {
                   const int i = seen++;
                   EXPECT_EQ(i < 2, changed.sequences_stayed) << i;  // the third takes the dialog's road
                   std::string said, whole;
                   for (const Change& line : station_changes(changed.original.get(), changed.station, false,
                                                             NewerChoices(), changed.sequences_stayed)) {
                       said += change_line(line) + "\n";
                   }
                   for (const Change& line : station_changes(before[i].get(), changed.station, false)) {
                       whole += change_line(line) + "\n";
                   }
                   EXPECT_EQ(whole, said) << i;
                   EXPECT_NE("", said);
               });
    EXPECT_EQ(3, seen);
}

TEST(FleetImport, RefusesWhatItCannotStoreAndNamesWhere)
{
    Fleet fleet({"1", "5", "5"});
    EXPECT_EQ("1 : the file is empty: it has no header row\n", errors_text(import_csv(fleet, "\xEF\xBB\xBF\r\n")));
    EXPECT_EQ("1 : no row names the column id: each row names its station by its id\n",
              errors_text(import_csv(fleet, "pin\n1\n")));
    EXPECT_EQ("", errors_text(import_csv(fleet, "id;pin\n")));
    // Caught: each unknown column repeated every known name, and a sheet of
    // another fleet gave two errors a row.
    // Names as the dialog labels its boxes, and in other spellings, are read.
    // The columns are listed once, with the first refused.
    EXPECT_EQ(
        "1 : unknown column \"phone\"; did you mean phone_nbr? The columns are id, description, phone_nbr, pin, "
        "gsm_mode, http_host, http_port, http_url, username, password, apn_name, apn_username, apn_password, "
        "sms_number, sms_text_acq, sms_text_eol, acq_interval0_min, acq_interval1_min, gsm_interval_h, "
        "gsm_duration_min, gsm_sms_duration_min, slow, fast, health, new_id and key.\n"
        "1 : unknown column \"pin2\"; did you mean pin?\n"
        "1 : unknown column \"gsm duration\"; did you mean gsm_duration_min?\n",
        errors_text(import_csv(fleet, "id;phone;Phone_Nbr ;New Id;PIN code;pin2;notes;sequence;gsm duration\n")));
    EXPECT_EQ("2 : cells stand in column 2, which the header does not name\n",
              errors_text(import_csv(fleet, "id;;pin\n1;x;\n5;y;\n")));
    EXPECT_EQ(
        "3 gsm_sms_duration_min: \"-5\" is not a whole number of minutes from 0 to 35791394\n"
        "3 http_port: \"http\" is not a port number (0 to 65535)\n"
        "4 id: the id 1 is on line 3 too\n"
        "5 id: no station has the id \"9\"; give --add to add it as a new station\n",
        errors_text(
            import_csv(fleet, "id,gsm_sms_duration_min,http_port,fast\n5,,,\n1,-5,http,VBat\n1,,,\n9,,,VBat; 0/1\n")));
}

// Caught: import stored what the station dialog then showed otherwise.
TEST(FleetImport, ACellTheDialogCannotShowAsTypedIsAnErrorOfItsRowAndColumn)
{
    const struct {
        const char* cell;  // UTF-8, as a spreadsheet writes it
        const char* reason;
    } cases[] = {
        {"Gda\xC5\x84sk",
         "the character \"\xC5\x84\" cannot be stored: the settings file is in Windows-1252, which has no such "
         "character"},
        {"\"two\r\nlines\"", "the cell holds a line break: the station dialog shows one line only"},
        {"tab\there", "the cell holds a control character (code 9), which the station dialog cannot show as typed"},
        {"bell\x07", "the cell holds a control character (code 7), which the station dialog cannot show as typed"},
        {"del\x7F", "the cell holds a control character (code 127), which the station dialog cannot show as typed"},
        {"\xC2\x81", "the cell holds a control character (code 129), which the station dialog cannot show as typed"},
    };
    for (const auto& c : cases) {
        Fleet fleet({"1"});
        const std::string before = render_tree(fleet.station(0));
        const ImportOutcome outcome = import_csv(fleet, std::string("id;apn_name\n1;") + c.cell + "\n");
        EXPECT_EQ(std::string("2 apn_name: ") + c.reason + "\n", errors_text(outcome)) << c.cell;
        EXPECT_EQ(before, render_tree(fleet.station(0))) << c.cell;
    }
}

// Caught: the output of list --csv did not import back where stations share
// an id, and nothing could repair the shared id.
TEST(FleetImport, SharedIdsMatchRowByRowAndNewIdRepairsThem)
{
    Fleet fleet({"1", "5", "5"});
    const ImportOutcome outcome = import_csv(fleet, "id;description;new_id\n5;first;\n5;second;6\n");
    EXPECT_EQ("", errors_text(outcome));
    EXPECT_STREQ("first", xml_get_attr(fleet.station(1), "description"));
    EXPECT_STREQ("5", xml_get_attr(fleet.station(1), "id"));
    EXPECT_STREQ("second", xml_get_attr(fleet.station(2), "description"));
    EXPECT_STREQ("6", xml_get_attr(fleet.station(2), "id"));

    Fleet shared({"1", "5", "5"});
    EXPECT_EQ(
        "2 new_id: the id 1 is held by a station of the settings file already\n"
        "3 new_id: \"7b\" is not a plain number: the station dialog would show another id\n"
        "4 id: the id 5 is on line 2 too, and only 2 stations of the settings file hold it\n"
        "5 description: the cell holds a line break: the station dialog shows one line only\n",
        errors_text(import_csv(shared, "id;new_id;description\n5;1;\n5;7b;\n5;;\n1;;\"two\nlines\"\n")));
}

TEST(FleetImport, ANewIdAppendsTheDefaultStationWithTheRowsValues)
{
    Fleet fleet({"1"});
    ImportOptions add;
    add.add = true;
    const ImportOutcome outcome = import_csv(fleet, "id;apn_name\n0042;apn.example\n", add);
    EXPECT_EQ(1, outcome.added);
    ASSERT_EQ(2u, listed_stations(fleet).size());
    TiXmlElement expected("STATION");
    const StationParts parts = complete_station_defaults(&expected);
    xml_set_attr(&expected, "id", "0042");
    set_parameter_text(parts.cfg_parameters, "GPRS_APN_NAME", "value", "apn.example");
    EXPECT_EQ(render_tree(&expected), render_tree(fleet.station(1)));
    ASSERT_EQ(1u, outcome.stations.size());
    EXPECT_EQ(nullptr, outcome.stations[0].original);
}

TEST(FleetApply, CopiesTheNamedPartsAndKeepsTheTargetsOwn)
{
    unsigned parts = 0;
    std::string unknown;
    EXPECT_TRUE(parse_apply_parts("gsm,sequences", parts, unknown));
    EXPECT_EQ(part_gsm | part_slow | part_fast | part_health, parts);
    EXPECT_FALSE(parse_apply_parts("sms,,timing", parts, unknown));
    EXPECT_EQ("", unknown);

    Fleet fleet({"1", "2", "3"});
    TiXmlElement* source_cfg = find_station_parts(fleet.station(0)).cfg_parameters;
    for (const char* element : {"HTTP_URL", "PIN_CODE", "SMS_NUMBER"}) {
        xml_set_attr(find_parameter(source_cfg, element), "value", "from source");
    }
    xml_set_attr(find_parameter(source_cfg, "SYSCTRL"), "gprs", "on");
    xml_set_attr(find_parameter(source_cfg, "SYSCTRL"), "time_zone", "5");
    const std::string untouched = render_tree(fleet.station(2));

    const ApplyOutcome outcome = apply_parts(fleet, "1", {"2"}, false, part_gsm);
    ASSERT_EQ(1u, outcome.stations.size());
    EXPECT_EQ(fleet.station(1), outcome.stations[0].station);
    EXPECT_STREQ("from source", fleet.parameter(1, "HTTP_URL"));
    EXPECT_STREQ("on", fleet.parameter(1, "SYSCTRL", "gprs"));
    EXPECT_STREQ("2", fleet.parameter(1, "SYSCTRL", "time_zone"));
    EXPECT_STREQ("6852", fleet.parameter(1, "PIN_CODE"));
    EXPECT_STREQ("0600000000", fleet.parameter(1, "SMS_NUMBER"));
    EXPECT_EQ(untouched, render_tree(fleet.station(2)));
    EXPECT_TRUE(apply_parts(fleet, "1", {"2"}, false, part_gsm).stations.empty());  // already holds them

    EXPECT_EQ(std::vector<std::string>{"no station has the id 7"}, apply_parts(fleet, "7", {}, true, part_sms).errors);
}

// A source that differs from its target in every value and sequence, copied
// part by part: each part copies its fields and sequences and nothing else,
// and all copies everything but the station's own identity and PIN.
TEST(FleetApply, EachPartCopiesExactlyTheFieldsAndSequencesOfThatPart)
{
    const std::vector<int> own = {field_id, field_description, field_phone_nbr, field_pin};
    for (const char* name : {"gsm", "sms", "timing", "slow", "fast", "health", "all"}) {
        unsigned parts = 0;
        std::string unknown;
        ASSERT_TRUE(parse_apply_parts(name, parts, unknown)) << name;
        Fleet fleet({"1", "2"});
        const std::unique_ptr<TiXmlElement> working(xml_add_child(nullptr, "STATION"));
        edit_station_copy(fleet.station(0), working.get(), [](const StationParts& copy, StationValues& values) {
            for (int id = field_description; id < station_field_count; ++id) {
                values.text[id] =
                    station_fields[id].unit != nullptr ? "7" : std::string("s ") + station_fields[id].column;
            }
            apply_gsm_mode(gsm_mode_gprs_push, values.flags);
            for (int role = 0; role < sequence_role_count; ++role) {
                xml_set_attr_int(xml_add_child(copy.sequence(role), "WAIT"), "timeout", role);
            }
            return true;
        });

        apply_parts(fleet, "1", {"2"}, false, parts);
        const CompletedStation from(fleet.station(0)), to(fleet.station(1));
        const StationValues source = load_station_values(from.element(), from.parts());
        const StationValues target = load_station_values(to.element(), to.parts());
        const bool all = std::string(name) == "all";
        for (int id = 0; id < station_field_count; ++id) {
            const bool copied =
                all ? std::count(own.begin(), own.end(), id) == 0 : (station_fields[id].part & parts) != 0;
            EXPECT_EQ(copied, source.text[id] == target.text[id]) << name << " " << station_fields[id].column;
        }
        for (int role = 0; role < sequence_role_count; ++role) {
            EXPECT_EQ(all || name == std::string(sequence_roles[role].column),
                      same_elements(from.parts().sequence(role), to.parts().sequence(role)))
                << name << " " << role;
        }
    }
}

// After apply the check reads the source's copied sequences once for all
// the targets: it must find on each target what reading its own copy finds.
TEST(FleetApply, TheCheckOfCopiedSequencesFindsWhatEachCopyHolds)
{
    Fleet fleet({"1", "2", "3"});
    TiXmlElement* vbat = xml_add_child(find_station_parts(fleet.station(0)).sequence(role_slow), "ACQ_VBAT");
    xml_set_attr(vbat, "channel", "0");
    xml_set_attr(vbat, "threshold", "3,5");
    const ApplyOutcome outcome = apply_parts(fleet, "1", {"2", "3"}, false, part_slow | part_fast);
    ASSERT_EQ(2u, outcome.stations.size());
    ASSERT_NE(nullptr, outcome.copied_sequences[0]);

    const std::vector<const TiXmlElement*> targets = {fleet.station(1), fleet.station(2)};
    auto findings = [&](bool known) {
        CheckOptions options;
        options.only = &targets;
        if (known) {
            std::copy(std::begin(outcome.copied_sequences), std::end(outcome.copied_sequences),
                      options.known_sequences);
        }
        std::string text;
        for (const Finding& finding : check_document(fleet, options).findings) {
            text += finding.station + " " + finding.where + ": " + finding.message + "\n";
        }
        return text;
    };
    const std::string read_each = findings(false);
    EXPECT_NE(std::string::npos, read_each.find("3 STATION[id=3]")) << read_each;
    EXPECT_EQ(read_each, findings(true));
}

// A target complete as it stands that receives whole sequences alone keeps
// only those as they were: its lines must be those of the whole record as it
// was against the record now.
TEST(FleetApply, LinesOfSequencesAloneAreThoseOfTheWholeRecords)
{
    Fleet fleet({"1", "2", "3", "4"});
    const StationParts source = find_station_parts(fleet.station(0));
    xml_set_attr(xml_add_child(source.sequence(role_slow), "ACQ_VBAT"), "channel", "0");
    xml_set_attr(xml_add_child(source.sequence(role_fast), "WAIT"), "timeout", "9");  // same choices, other commands
    xml_set_attr(find_parameter(source.cfg_parameters, "HTTP_URL"), "value", "from source");
    xml_remove_child(find_station_parts(fleet.station(3)).cfg_parameters,
                     find_parameter(find_station_parts(fleet.station(3)).cfg_parameters, "SMS_NUMBER"));
    const struct {
        unsigned parts;
        bool sequences_alone;  // for the complete targets 2 and 3; never for 4, incomplete
    } cases[] = {{part_slow, true}, {part_slow | part_fast | part_health, true}, {part_gsm | part_slow, false}};
    for (const auto& c : cases) {
        std::vector<std::shared_ptr<TiXmlElement>> before;
        for (int i = 0; i < 4; ++i) {
            before.push_back(copy_of(fleet.station(i)));
        }
        int seen = 0;
        apply_parts(fleet, "1", {"2", "3", "4"}, false, c.parts, [&](ChangedStation& changed) {
            const int i = ++seen;
            EXPECT_EQ(c.sequences_alone && i < 3, changed.sequences_alone()) << c.parts << " " << i;
            const std::vector<Change> lines =
                changed.sequences_alone() ? replaced_sequence_changes(changed.replaced_sequences, changed.station)
                                          : station_changes(changed.original.get(), changed.station, false);
            std::string said, whole;
            for (const Change& line : lines) {
                said += change_line(line) + "\n";
            }
            for (const Change& line : station_changes(before[i].get(), changed.station, false)) {
                whole += change_line(line) + "\n";
            }
            EXPECT_EQ(whole, said) << c.parts << " " << i;
            EXPECT_NE("", said);
        });
        EXPECT_EQ(3, seen);
        for (int i = 1; i < 4; ++i) {  // back as they were for the next case
            xml_clear(fleet.station(i));
            xml_copy(fleet.station(i), before[i].get());
        }
    }
}

}  // namespace
