// The comparison of two settings files: what counts as the same settings,
// the lines of changed values and sequences, and the matching of stations.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fleet/diff/file_diff.h"
#include "fleet/station/element_diff.h"
#include "fleet/station/stations_by_id.h"
#include "support/core_files.h"
#include "support/core_tree.h"

namespace {

const char* const top = "<SETUP><PATH_DATA_BIN path='c:\\data'/><COMPORTS/><STATIONS>";
const char* const end = "</STATIONS></SETUP>";

// A complete station but for what `extra_parameters` and `slow` add.
std::string station(const char* id, const char* description, const char* extra_parameters = "",
                    const char* slow = "<PROBES_POWER state='1'/><ACQ_VBAT channel='0'/><PROBES_POWER state='0'/>")
{
    return std::string("<STATION id='") + id + "' phone_nbr='1' pin='1234' description='" + description +
           "'><CONFIGURATION value='0'><PIN_CODE value='1234'/><GSM_DURATION value='600'/>" + extra_parameters +
           "</CONFIGURATION><CONFIGURATION value='1'><ACQUISITION_SEQUENCE value='0'>" + slow +
           "</ACQUISITION_SEQUENCE></CONFIGURATION></STATION>";
}

// `text` with the first occurrence of each edit's first string replaced by
// its second.
std::string edited(std::string text, std::initializer_list<std::pair<const char*, const char*>> edits)
{
    for (const auto& edit : edits) {
        text.replace(text.find(edit.first), std::strlen(edit.first), edit.second);
    }
    return text;
}

// The lines of `diff OLD NEW`, and the summary figures.
std::string diff(const std::string& older, const std::string& newer, bool show_secrets = false)
{
    TempDir dir;
    write_bytes(dir.file("old.xml"), older);
    write_bytes(dir.file("new.xml"), newer);
    myXMLdocument a(nullptr), b(nullptr);
    EXPECT_NE(nullptr, a.load_file(dir.file("old.xml").c_str()));
    EXPECT_NE(nullptr, b.load_file(dir.file("new.xml").c_str()));
    const DiffReport report = diff_documents(a, b, show_secrets);
    std::string lines;
    for (const Change& change : report.changes) {
        lines += change_line(change) + "\n";
    }
    return lines + (report.same() ? "same" : "differ") + " +" + std::to_string(report.stations_added) + " -" +
           std::to_string(report.stations_removed) + " ~" + std::to_string(report.stations_changed);
}

TEST(FleetDiff, LayoutAloneIsTheSameSettings)
{
    const std::string one = top + station("12", "Pump house") + end;
    std::string other =
        "<?xml version=\"1.0\"?>\r\n<SETUP>\r\n\t<PATH_DATA_BIN path=\"c:\\data\" />\r\n<COMPORTS></COMPORTS>"
        "<STATIONS>" +
        station("12", "Pump house") + end;
    EXPECT_EQ("same +0 -0 ~0", diff(one, other));
    // The order of attributes is layout too.
    const std::string reordered = one.substr(0, one.find("<STATION ")) +
                                  "<STATION description='Pump house' pin='1234' phone_nbr='1' id='12'>" +
                                  one.substr(one.find("<CONFIGURATION value='0'>"));
    EXPECT_EQ("same +0 -0 ~0", diff(one, reordered));
}

TEST(FleetDiff, ChangedValuesAreNamedAsTheDialogLabelsThem)
{
    const std::string before = top + station("12", "Pump house") + end;
    const std::string after = top +
                              station("12", "Pump house", "<GSM_DURATION value='900'/>",
                                      "<PROBES_POWER state='1'/><ACQ_VBAT channel='0' threshold='11.9'/>"
                                      "<ACQ header='168' port='0' channel='9' timeout='3' compare='ge' "
                                      "threshold='100'/><PROBES_POWER state='0'/><CONDITIONAL_SMS/>") +
                              end;
    // The first GSM_DURATION is the one the station reads, so the second
    // one is an element of its own.
    EXPECT_EQ(
        "12 \"Pump house\": Slow sequence: Measure VBat measured -> measured, eol 11.9\n"
        "12 \"Pump house\": Slow sequence: [168] Channel 9 : Relative pulse counter #0 not measured -> measured, ge "
        "100\n"
        "12 \"Pump house\": Slow sequence: Send SMS if threshold pass off -> on\n"
        "12 \"Pump house\": CONFIGURATION[value=0]/GSM_DURATION#2 added\n"
        "differ +0 -0 ~1",
        diff(before, after));

    const std::string retimed = edited(
        before,
        {{"'600'", "'900'"}, {"pin='1234'", "pin='4321'"}, {"<PIN_CODE value='1234'/>", "<PIN_CODE value='4321'/>"}});
    EXPECT_EQ(
        "12 \"Pump house\": PIN code **** -> ****\n"
        "12 \"Pump house\": GSM power On duration 10 min -> 15 min\n"
        "differ +0 -0 ~1",
        diff(before, retimed));
    EXPECT_EQ(0u, diff(before, retimed, true).find("12 \"Pump house\": PIN code \"1234\" -> \"4321\"\n"));
}

TEST(FleetDiff, WhatTheValuesDoNotShowIsStillReported)
{
    const std::string before = top + station("12", "Pump house", "<SYSCTRL gsm_enabled='on' gsm_call='off'/>") + end;
    // Same GSM mode, other switch; the same choices written in another order;
    // 630 s shows as 10 min like 600 s but is another setting.
    const std::string after = top +
                              station("12", "Pump house", "<SYSCTRL gsm_enabled='on' gsm_call='on'/>",
                                      "<ACQ_VBAT channel='0'/><PROBES_POWER state='1'/><PROBES_POWER state='0'/>") +
                              end;
    EXPECT_EQ(
        "12 \"Pump house\": Slow sequence: same choices, different commands\n"
        "12 \"Pump house\": CONFIGURATION[value=0]/SYSCTRL gsm_call \"off\" -> \"on\"\n"
        "differ +0 -0 ~1",
        diff(before, after));
    const std::string seconds = edited(before, {{"'600'", "'630'"}});
    EXPECT_EQ("12 \"Pump house\": GSM power On duration 10 min -> 630 s\ndiffer +0 -0 ~1", diff(before, seconds));
}

TEST(FleetDiff, StationsMatchByIdInDocumentOrderAfterTheTopLevel)
{
    const std::string before = std::string(top) + station("7", "A") + station("7", "B") + station("9", "C") + end;
    const std::string after =
        edited(std::string(top) + station("7", "A") + station("7", "B2") + station("11", "D") + end,
               {{"c:\\data", "d:\\data"}});
    EXPECT_EQ(
        "top level: PATH_DATA_BIN path \"c:\\data\" -> \"d:\\data\"\n"
        "note: the id \"7\" is held by 2 stations in the old file and 2 in the new one; they are matched in document "
        "order\n"
        "added: 11 \"D\"\n"
        "removed: 9 \"C\"\n"
        "7#2 \"B2\": Description \"B\" -> \"B2\"\n"
        "differ +1 -1 ~1",
        diff(before, after));
}

// Children are paired by kind and occurrence, whether both records hold them
// in the same order (paired at their places) or not.
TEST(FleetDiff, ElementDifferencesPairChildrenByKindAndOccurrence)
{
    const struct {
        const char* older;
        const char* newer;
        const char* differences;
    } cases[] = {
        {"<S><W t='1'/><W t='2'/><CONFIGURATION value='1'><A/></CONFIGURATION></S>",
         "<S><W t='1'/><W t='3'/><CONFIGURATION value='1'><A/></CONFIGURATION></S>", "W#2 t 2 3\n"},
        {"<S><CONFIGURATION value='0'><A x='1'/></CONFIGURATION><CONFIGURATION value='1'><A/><A "
         "x='2'/></CONFIGURATION></S>",
         "<S><CONFIGURATION value='1'><A/><A x='5'/></CONFIGURATION><CONFIGURATION value='0'><A "
         "x='1'/></CONFIGURATION></S>",
         "CONFIGURATION[value=1]/A#2 x 2 5\n"},
        {"<S><W/><CONFIGURATION value='0'/></S>", "<S><W/><CONFIGURATION value='1'/><CONFIGURATION value='0'/><N/></S>",
         "CONFIGURATION[value=1] (element) - \nN (element) - \n"},
        {"<S><W/><W/><CONFIGURATION value='0'/></S>", "<S><W/><CONFIGURATION value='0' k='v'/></S>",
         "W#2 (element)  -\nCONFIGURATION[value=0] k - v\n"},
        {"<S><W t='1'/><K/><W t='2'/></S>", "<S><W t='1'/><W t='9'/></S>", "W#2 t 2 9\n"},  // K passed over
    };
    for (const auto& c : cases) {
        const ParsedXml older(c.older), newer(c.newer);
        std::string said;
        const SkipElement skip = [](const TiXmlElement* e) { return std::strcmp(xml_name(e), "K") == 0; };
        for (const ElementDifference& d : element_differences(older.root, newer.root, skip)) {
            said += d.path + " " + (d.attribute != nullptr ? d.attribute : "(element)") + " " +
                    (d.old_value != nullptr ? d.old_value : "-") + " " + (d.new_value != nullptr ? d.new_value : "-") +
                    "\n";
        }
        EXPECT_EQ(c.differences, said) << c.older;
    }
}

// Each id's stations in list order, given in turn to the rows or stations
// of that id as they come, and none once all are given.
TEST(FleetStationsById, SharedIdsKeepListOrderAndAreGivenInTurn)
{
    std::vector<std::unique_ptr<TiXmlElement>> owned;
    std::vector<TiXmlElement*> stations;
    for (const char* id : std::initializer_list<const char*>{"7", "12", "7", nullptr, "7", "12", ""}) {
        owned.emplace_back(xml_add_child(nullptr, "STATION"));
        if (id != nullptr) {
            xml_set_attr(owned.back().get(), "id", id);
        }
        stations.push_back(owned.back().get());
    }
    const struct {
        StationsById::WithoutId without;
        const char* id;
        std::vector<int> places;
    } cases[] = {
        {StationsById::WithoutId::held_as_empty, "7", {0, 2, 4}},
        {StationsById::WithoutId::held_as_empty, "12", {1, 5}},
        {StationsById::WithoutId::held_as_empty, "", {3, 6}},
        {StationsById::WithoutId::left_out, "", {6}},
        {StationsById::WithoutId::left_out, "9", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("id '") + c.id + "'");
        StationsById by_id(stations, c.without);
        const StationsById::Places held = by_id.holders(c.id);
        EXPECT_EQ(c.places, std::vector<int>(held.begin(), held.end()));
        EXPECT_EQ(!c.places.empty(), by_id.holds(c.id));
        std::vector<int> given;
        for (int place; given.size() < 8 && (place = by_id.take_next(c.id)) >= 0;) {
            EXPECT_EQ(given.size(), by_id.occurrence(c.id, place));
            given.push_back(place);
        }
        EXPECT_EQ(c.places, given);
        EXPECT_EQ(-1, by_id.take_next(c.id));
    }
}

}  // namespace
