// The rows of zantor-fleet list: the station dialog's values, the stored id,
// the secrets, and the compact text of a sequence's choices.
#include <gtest/gtest.h>

#include <string>

#include "fleet/station/sequence_text.h"
#include "fleet/station/station_row.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"
#include "support/core_tree.h"

namespace {

ChannelChoice& channel(SequenceChoices& choices, int port, int probe, int number)
{
    return choices.channels[find_channel(port, probe, number)];
}

std::string joined(const std::vector<std::string>& cells)
{
    std::string text;
    for (const std::string& cell : cells) {
        text += cell + "|";
    }
    return text;
}

TEST(FleetSequenceText, ChoicesInAFewWords)
{
    SequenceChoices choices;
    EXPECT_EQ("", sequence_text(choices));
    choices.vbat = choices.vbat_eol = true;
    channel(choices, 0, 0, 9) = ChannelChoice{true, compare_ge, "100"};
    channel(choices, 7, 0, 0).selected = true;
    channel(choices, 10, probe_fluorimeter, 1).selected = true;
    // Channels 5 to 8 of the fluorimeter carry no threshold, whatever is chosen.
    channel(choices, 10, probe_fluorimeter, 5) = ChannelChoice{true, compare_lt, "1"};
    channel(choices, 10, probe_pressure, 0).selected = true;
    choices.sms = true;
    choices.out1.on = true;
    choices.out1.outputs[3] = output_force_1;
    EXPECT_EQ("VBat eol 11.9; 0/9 ge 100; 7/0; 10.7/1,5; 10.120/0; SMS; S3=1", sequence_text(choices));

    // A threshold that reads like punctuation is quoted; a comparison of
    // none writes no threshold; each output change is an item.
    SequenceChoices other;
    channel(other, 7, 0, 2) = ChannelChoice{true, compare_lt, "3,5"};
    channel(other, 7, 0, 3) = ChannelChoice{true, compare_none, "9"};
    other.out1.on = other.out2.on = true;
    other.out2.outputs[0] = output_force_0;
    other.out2.outputs[2] = output_force_1;
    EXPECT_EQ("7/2 lt \"3,5\",3; outputs kept; S2=1 S0=0", sequence_text(other));
}

TEST(FleetStationRow, TheDialogsValuesWithTheStoredIdAndSecretsHidden)
{
    TiXmlElement station("STATION");
    complete_station_defaults(&station);
    xml_set_attr(&station, "id", "007");
    for (int column = 0; column < list_column_count; ++column) {
        EXPECT_STRNE("", list_column_name(column)) << column;
    }
    EXPECT_STREQ("id", list_column_name(0));
    EXPECT_STREQ("health", list_column_name(list_column_count - 1));
    EXPECT_EQ(
        "007|new station|330000000000|****|GSM DATA|data.kestrane.example|80|/gprs/default.php|kestrane|****|"
        "internet.operator.example|||0600000000|ALARM ! NUXO |Low Bat. NUXO |15|5|24|10|15|VBat|VBat|VBat|",
        joined(station_row(&station, false)));
    EXPECT_EQ("6852|pqwz|",
              joined({station_row(&station, true)[field_pin], station_row(&station, true)[field_password]}));
}

TEST(FleetStationRow, AnIncompleteRecordShowsTheDefaultsAndStaysAsItWas)
{
    ParsedXml doc(
        "<STATION id='12' pin='1234'><CONFIGURATION value='0'><GSM_DURATION value='630'/>"
        "<GPRS_APN_PASSWORD value='secret'/></CONFIGURATION></STATION>");
    const std::string before = render_tree(doc.root);
    const std::vector<std::string> row = station_row(doc.root, false);
    EXPECT_EQ(before, render_tree(doc.root));
    EXPECT_EQ("new station", row[field_description]);
    EXPECT_EQ("10", row[field_gsm_duration]);  // 630 s shows as 10 min
    // The PIN_CODE that completion adds holds the station's pin.
    EXPECT_EQ("1234", station_row(doc.root, true)[field_pin]);
    EXPECT_EQ("****", row[field_apn_password]);
    EXPECT_EQ("VBat", row[station_field_count]);
}

}  // namespace
