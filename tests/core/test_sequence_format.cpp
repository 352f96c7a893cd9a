// Acquisition sequences: the channel catalogue, the canonical writer, the
// reader with its probe-address state, and the output masks.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "sequence/sequence_format.h"
#include "sequence/sequence_rewrite.h"
#include "station/station_record.h"
#include "support/core_tree.h"
#include "support/station_fleet.h"

namespace {

int row_of(const char* key)
{
    for (size_t row = 0; row < channel_count; ++row) {
        if (std::string(channel_catalogue[row].key) == key) {
            return static_cast<int>(row);
        }
    }
    ADD_FAILURE() << "no channel " << key;
    return 0;
}

ChannelChoice& channel(SequenceChoices& choices, const char* key)
{
    return choices.channels[row_of(key)];
}

void select(SequenceChoices& choices, const char* key, Comparison comparison = compare_none,
            const char* threshold = "5.0")
{
    ChannelChoice& c = channel(choices, key);
    c.selected = true;
    c.comparison = comparison;
    c.threshold = threshold;
}

std::string outputs_text(const OutputSetting outputs[4])
{
    std::string text;
    for (int k = 3; k >= 0; --k) {
        text += outputs[k] == output_force_1 ? '1' : outputs[k] == output_force_0 ? '0' : 'K';
    }
    return text;
}

// Everything the choices say, one token per item, outputs written S3 to S0.
std::string describe(const SequenceChoices& choices)
{
    std::string text;
    if (choices.vbat) {
        text += "vbat ";
    }
    if (choices.vbat_eol) {
        text += "eol ";
    }
    text += "eol=" + choices.vbat_threshold;
    for (size_t row = 0; row < channel_count; ++row) {
        const ChannelChoice& c = choices.channels[row];
        if (c.selected || c.comparison != compare_none || c.threshold != "5.0") {
            text += std::string(" | ") + channel_catalogue[row].key + (c.selected ? "" : " unselected");
            text += c.comparison == compare_ge ? " ge " : c.comparison == compare_lt ? " lt " : " none ";
            text += c.threshold;
        }
    }
    if (choices.sms) {
        text += " | sms";
    }
    if (choices.out1.on) {
        text += " | out1 " + outputs_text(choices.out1.outputs);
    }
    if (choices.out2.on) {
        text += " | out2 " + outputs_text(choices.out2.outputs);
    }
    return text;
}

// Writes the choices into a new sequence element with role "0".
std::string written(const SequenceChoices& choices)
{
    TiXmlElement sequence("ACQUISITION_SEQUENCE");
    xml_set_attr(&sequence, "value", "0");
    rebuild_sequence(&sequence, choices);
    return render_tree(&sequence);
}

// Reads the sequence parsed from `xml` into freshly reset choices.
SequenceChoices read(const char* xml)
{
    SequenceChoices choices;
    ParsedXml doc(xml);
    if (doc.root != nullptr) {
        read_sequence(doc.root, choices);
    }
    return choices;
}

// ---- the catalogue ----

TEST(ChannelCatalogue, RowsAreConsistentWithTheirKeysAndLookup)
{
    ASSERT_EQ(23u, channel_count);
    std::set<std::string> keys;
    for (size_t row = 0; row < channel_count; ++row) {
        const Channel& c = channel_catalogue[row];
        std::string key = c.port == 10 ? "10_" + std::to_string(c.probe) + "_" + std::to_string(c.channel)
                                       : std::to_string(c.port) + "_" + std::to_string(c.channel);
        EXPECT_EQ(key, c.key);
        EXPECT_TRUE(keys.insert(c.key).second) << c.key;
        EXPECT_EQ(static_cast<int>(row), find_channel(c.port, c.probe, c.channel)) << c.key;
        EXPECT_EQ(0u, std::string(c.caption).find("[" + std::to_string(c.header) + "] ")) << c.caption;
        EXPECT_EQ(c.has_threshold, c.unit != nullptr) << c.key;
    }
    EXPECT_STREQ(
        "[\xB0"
        "C]",
        channel_catalogue[row_of("10_120_1")].unit);
    EXPECT_EQ(-1, find_channel(0, 0, 2));
    EXPECT_EQ(-1, find_channel(7, 0, 8));
    EXPECT_EQ(-1, find_channel(10, 0, 1));
    EXPECT_EQ(-1, find_channel(10, 5, 1));
    EXPECT_EQ(row_of("7_3"), find_channel(7, 120, 3));  // the probe address only matters on port 10
}

// ---- the writer ----

TEST(SequenceWriter, FullExampleInCanonicalOrderAndReadBack)
{
    SequenceChoices choices;
    choices.vbat = true;
    choices.vbat_eol = true;
    choices.vbat_threshold = "11.9";
    select(choices, "0_9", compare_ge, "100");
    select(choices, "7_0");
    select(choices, "10_7_1");
    select(choices, "10_7_5");
    select(choices, "10_120_0");
    choices.sms = true;
    choices.out1.on = true;
    choices.out1.outputs[3] = output_force_1;

    TiXmlElement sequence("ACQUISITION_SEQUENCE");
    xml_set_attr(&sequence, "value", "0");
    rebuild_sequence(&sequence, choices);
    std::string text = render_tree(&sequence);
    EXPECT_EQ(
        "ACQUISITION_SEQUENCE value=\"0\"\n"
        "  PROBES_POWER state=\"1\"\n"
        "  ACQ_VBAT channel=\"0\" threshold=\"11.9\"\n"
        "  ACQ header=\"168\" port=\"0\" channel=\"9\" timeout=\"3\" compare=\"ge\" threshold=\"100\"\n"
        "  PROBES_POWER state=\"8\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACQ header=\"169\" port=\"7\" channel=\"0\" timeout=\"4\"\n"
        "  PROBES_POWER state=\"6\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACTION port=\"10\" and=\"0\" or=\"7\"\n"
        "  ACQ header=\"145\" port=\"10\" channel=\"1\" timeout=\"3\"\n"
        "  ACQ header=\"17\" port=\"10\" channel=\"5\" timeout=\"3\"\n"
        "  PROBES_POWER state=\"0\"\n"
        "  ACTION port=\"0\" and=\"247\" or=\"8\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACTION port=\"10\" and=\"0\" or=\"120\"\n"
        "  ACQ header=\"150\" port=\"10\" channel=\"0\" timeout=\"3\"\n"
        "  ACTION port=\"0\" and=\"247\" or=\"0\"\n"
        "  CONDITIONAL_SMS\n"
        "  CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"8\"\n",
        text);

    // Channels written without a threshold come back with an empty threshold text.
    SequenceChoices back;
    read_sequence(&sequence, back);
    EXPECT_EQ(
        "vbat eol eol=11.9 | 0_9 ge 100 | 7_0 none  | 10_7_1 none  | 10_7_5 none 5.0 | 10_120_0 none "
        " | sms | out1 1KKK",
        describe(back));
    EXPECT_EQ(text, written(back));
}

TEST(SequenceWriter, SupplyCommandsFollowTheSelectedBlocks)
{
    SequenceChoices battery;
    battery.vbat = true;
    TiXmlElement station("STATION");
    StationParts parts = complete_station_defaults(&station);
    EXPECT_EQ(render_tree(parts.sequence(role_slow)), written(battery))
        << "a new station's sequence is the battery alone";

    SequenceChoices analog_and_pressure;
    select(analog_and_pressure, "7_2", compare_ge, "5.0");
    select(analog_and_pressure, "10_120_1");
    EXPECT_EQ(
        "ACQUISITION_SEQUENCE value=\"0\"\n"
        "  PROBES_POWER state=\"8\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACQ header=\"178\" port=\"7\" channel=\"2\" timeout=\"4\" compare=\"ge\" threshold=\"5.0\"\n"
        "  PROBES_POWER state=\"0\"\n"
        "  ACTION port=\"0\" and=\"247\" or=\"8\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACTION port=\"10\" and=\"0\" or=\"120\"\n"
        "  ACQ header=\"144\" port=\"10\" channel=\"1\" timeout=\"3\"\n"
        "  ACTION port=\"0\" and=\"247\" or=\"0\"\n",
        written(analog_and_pressure));

    EXPECT_EQ("ACQUISITION_SEQUENCE value=\"0\"\n", written(SequenceChoices()));
}

TEST(SequenceWriter, ThresholdsAreWrittenAsTypedAndOnlyWithAComparison)
{
    for (const char* typed : {"3,5", "abc", "", "<&>\"\xE9"}) {
        SequenceChoices choices;
        select(choices, "7_5", compare_lt, typed);
        select(choices, "7_6", compare_none, "9");
        std::string text = written(choices);
        EXPECT_NE(std::string::npos, text.find("\"5\" timeout=\"4\" compare=\"lt\" threshold=\"" + std::string(typed)));
        EXPECT_NE(std::string::npos, text.find("channel=\"6\" timeout=\"4\"\n"));
    }
}

TEST(SequenceWriter, RebuildKeepsOnlyTheRoleAndNameAndPlace)
{
    ParsedXml doc(
        "<CONFIGURATION><acquisition_sequence value=\" 2x\" note=\"old\">text<WAIT timeout=\"9\"/>"
        "<!-- c --><FOO/></acquisition_sequence><ACQUISITION_SEQUENCE tag=\"no role\"/><TAIL/></CONFIGURATION>");
    ASSERT_TRUE(doc.root);
    TiXmlElement* first = doc.root->FirstChildElement();
    TiXmlElement* second = first->NextSiblingElement();
    SequenceChoices battery;
    battery.vbat = true;
    rebuild_sequence(first, battery);
    rebuild_sequence(second, SequenceChoices());
    rebuild_sequence(nullptr, battery);
    EXPECT_EQ(
        "CONFIGURATION\n"
        "  acquisition_sequence value=\" 2x\"\n"
        "    PROBES_POWER state=\"1\"\n"
        "    ACQ_VBAT channel=\"0\"\n"
        "    PROBES_POWER state=\"0\"\n"
        "  ACQUISITION_SEQUENCE value=\"\"\n"
        "  TAIL\n",
        render_tree(doc.root));
    EXPECT_EQ(nullptr, first->FirstChild()->ToText()) << "text inside a sequence does not survive";
    EXPECT_EQ(first->FirstChild(), first->FirstChildElement()) << "nor do comments";
}

// A combo box whose typed text names no item has index -1; storing that
// index must count as "No threshold" and "Keep", not as undefined behaviour.
TEST(SequenceWriter, ComboIndexMinusOneMeansNoThresholdAndKeep)
{
    SequenceChoices choices;
    select(choices, "7_7", static_cast<Comparison>(-1), "1");
    choices.out1.on = true;
    choices.out1.outputs[0] = static_cast<OutputSetting>(-1);
    EXPECT_EQ(
        "ACQUISITION_SEQUENCE value=\"0\"\n"
        "  PROBES_POWER state=\"8\"\n"
        "  WAIT timeout=\"2\"\n"
        "  ACQ header=\"162\" port=\"7\" channel=\"7\" timeout=\"4\"\n"
        "  PROBES_POWER state=\"0\"\n"
        "  CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"0\"\n",
        written(choices));
}

// ---- output masks ----

TEST(OutputMasks, ForcingSetsOrBitsAndClearsAndBitsWithinFourOutputs)
{
    struct Case {
        OutputSetting s3, s2, s1, s0;
        int and_mask, or_mask;
    };
    const OutputSetting K = output_keep, F0 = output_force_0, F1 = output_force_1;
    const Case cases[] = {
        {K, K, K, K, 255, 0}, {F1, K, K, F0, 14, 8},     {F0, K, K, K, 7, 0},
        {K, F0, F0, K, 9, 0}, {F1, F1, F1, F1, 255, 15},
    };
    for (const Case& c : cases) {
        OutputSetting outputs[4] = {c.s0, c.s1, c.s2, c.s3};
        int and_mask = -1, or_mask = -1;
        output_masks(outputs, &and_mask, &or_mask);
        EXPECT_EQ(c.and_mask, and_mask) << outputs_text(outputs);
        EXPECT_EQ(c.or_mask, or_mask) << outputs_text(outputs);
    }
}

TEST(OutputMasks, ReadingLooksAtTheLowFourBitsAndOrWins)
{
    OutputSetting outputs[4];
    settings_from_masks(14, 8, outputs);
    EXPECT_EQ("1KK0", outputs_text(outputs));
    settings_from_masks(247, 8, outputs);
    EXPECT_EQ("1KKK", outputs_text(outputs));
    settings_from_masks(0xF0, 0xF0, outputs);
    EXPECT_EQ("0000", outputs_text(outputs));

    // Every combination of the three settings survives a write and a read.
    for (int combo = 0; combo < 81; ++combo) {
        OutputSetting settings[4];
        for (int k = 0, rest = combo; k < 4; ++k, rest /= 3) {
            settings[k] = static_cast<OutputSetting>(rest % 3);
        }
        int and_mask = 0, or_mask = 0;
        output_masks(settings, &and_mask, &or_mask);
        settings_from_masks(and_mask, or_mask, outputs);
        EXPECT_EQ(outputs_text(settings), outputs_text(outputs));
    }
}

// ---- the reader ----

TEST(SequenceReader, PortTenMeasurementsFollowTheSelectedProbe)
{
    // Before any probe selection nothing answers on port 10; channel 1 of the
    // pressure probe is its temperature, not the fluorimeter's Uranine.
    EXPECT_EQ("eol=11.9 | 10_120_1 ge 20", describe(read("<S><ACQ port=\"10\" channel=\"0\" threshold=\"1\"/>"
                                                         "<ACTION port=\"10\" and=\"0\" or=\"120\"/>"
                                                         "<ACQ port=\"10\" channel=\"1\" compare=\"ge\" "
                                                         "threshold=\"20\"/></S>")));

    // Only ACTION port 10 with and 0 selects; an unknown address silences port 10.
    EXPECT_EQ("eol=11.9 | 10_7_1 none 2 | 10_7_9 none  | 10_120_0 none 1",
              describe(read("<S><ACTION port=\"10\" and=\"0\" or=\"7\"/>"
                            "<ACQ port=\"10\" channel=\"1\" threshold=\"2\"/>"
                            "<ACTION port=\"10\" and=\"1\" or=\"120\"/>"
                            "<ACTION port=\"0\" and=\"0\" or=\"120\"/>"
                            "<ACQ port=\"10\" channel=\"9\"/>"
                            "<action port=\"10\" and=\"0\" or=\"120\"/>"
                            "<ACQ port=\"10\" channel=\"0\" threshold=\"1\"/>"
                            "<ACTION port=\"10\" and=\"0\" or=\"5\"/>"
                            "<ACQ port=\"10\" channel=\"1\"/></S>")));
}

TEST(SequenceReader, UnknownCommandsAndChannelsLeaveEverythingAsItWas)
{
    SequenceChoices choices = read(
        "<S><ACQ port=\"0\" channel=\"2\"/><ACQ port=\"7\" channel=\"8\"/>"
        "<ACQ port=\"3\" channel=\"1\"/><ACQ_VBAT channel=\"1\" threshold=\"9\"/>"
        "<CONDITIONAL_ACTION port=\"1\" and=\"0\" or=\"15\"/><MYSTERY/>"
        "<PROBES_POWER state=\"8\"/><WAIT timeout=\"2\"/></S>");
    EXPECT_EQ("eol=11.9", describe(choices));

    // Missing attributes read as 0: an ACQ without port is on-board, an ACQ_VBAT without channel is the battery.
    EXPECT_EQ("vbat eol=11.9 | 0_1 none ", describe(read("<S><ACQ channel=\"1\"/><ACQ_VBAT/></S>")));
}

TEST(SequenceReader, ComparisonsAndThresholdTexts)
{
    SequenceChoices choices = read(
        "<S><acq port=\"7\" channel=\"0\" compare=\"GE\" threshold=\"1.5\"/>"
        "<Acq port=\"7\" channel=\"1\" compare=\"Lt\" threshold=\"x\"/>"
        "<ACQ port=\"7\" channel=\"2\" compare=\"gt\" threshold=\"3\"/>"
        "<ACQ port=\"7\" channel=\"3\" compare=\"ge\"/>"
        "<ACTION port=\"10\" and=\"0\" or=\"7\"/>"
        "<ACQ port=\"10\" channel=\"6\" compare=\"lt\" threshold=\"4\"/></S>");
    EXPECT_EQ("eol=11.9 | 7_0 ge 1.5 | 7_1 lt x | 7_2 none 3 | 7_3 ge  | 10_7_6 none 5.0", describe(choices));
    // The fluorimeter's raw channels carry no threshold, so the attributes are gone after a store.
    EXPECT_NE(std::string::npos, written(choices).find("ACQ header=\"18\" port=\"10\" channel=\"6\" timeout=\"3\"\n"));

    // A second mention of a channel updates it; a word that is no comparison leaves the previous one.
    choices = read(
        "<S><ACQ port=\"0\" channel=\"9\" compare=\"lt\" threshold=\"1\"/>"
        "<ACQ port=\"0\" channel=\"9\" compare=\"le\" threshold=\"2\"/></S>");
    EXPECT_EQ("eol=11.9 | 0_9 lt 2", describe(choices));
}

TEST(SequenceReader, BatteryEndOfLifeThreshold)
{
    SequenceChoices choices;
    choices.vbat_threshold = "12.1";
    ParsedXml without_threshold("<S><ACQ_VBAT channel=\"0\"/></S>");
    read_sequence(without_threshold.root, choices);
    EXPECT_EQ("vbat eol=12.1", describe(choices)) << "without threshold the last text stays";

    ParsedXml empty_threshold("<S><acq_vbat channel=\"0\" threshold=\"\"/></S>");
    read_sequence(empty_threshold.root, choices);
    EXPECT_EQ("vbat eol eol=", describe(choices));

    reset_choices(choices);
    EXPECT_EQ("eol=", describe(choices)) << "reset keeps the end-of-life threshold text";
    read_sequence(nullptr, choices);
    EXPECT_EQ("eol=", describe(choices));
}

TEST(SequenceReader, ConditionalActionsFirstAndLast)
{
    const char* xml =
        "<S><conditional_sms/>"
        "<CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"/>"
        "<CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"1\"/>"
        "<CONDITIONAL_ACTION port=\"0\" and=\"7\" or=\"0\"/></S>";
    SequenceChoices choices = read(xml);
    EXPECT_EQ("eol=11.9 | sms | out1 1KK0 | out2 0KKK", describe(choices));
    EXPECT_EQ(
        "ACQUISITION_SEQUENCE value=\"0\"\n"
        "  CONDITIONAL_SMS\n"
        "  CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"\n"
        "  CONDITIONAL_ACTION port=\"0\" and=\"7\" or=\"0\"\n",
        written(choices));

    SequenceChoices keep_all;
    keep_all.out2.on = true;
    EXPECT_EQ("ACQUISITION_SEQUENCE value=\"0\"\n  CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"0\"\n",
              written(keep_all));
}

TEST(SequenceReader, EveryFleetSequenceIsAlreadyCanonical)
{
    myXMLdocument fleet("SETUP");
    TiXmlElement* stations = build_fleet(fleet, 40);
    int sequences = 0;
    std::set<std::string> distinct;
    for (TiXmlElement* station = xml_first_child(stations); station != nullptr; station = xml_next_sibling(station)) {
        StationParts parts = complete_station_defaults(station);
        for (TiXmlElement* sequence :
             {parts.sequence(role_slow), parts.sequence(role_fast), parts.sequence(role_health)}) {
            std::string before = render_tree(sequence);
            SequenceChoices choices;
            read_sequence(sequence, choices);
            rebuild_sequence(sequence, choices);
            EXPECT_EQ(before, render_tree(sequence));
            distinct.insert(before);
            ++sequences;
        }
    }
    EXPECT_EQ(120, sequences);
    EXPECT_GT(distinct.size(), 100u) << "the fleet should vary its sequences";
}

// ---- what a rewrite would lose ----

// The sequence dialog's OK on a stored sequence: whether it would write other
// commands, and what would be lost, "; " between the losses.
std::string rewrite_of(const char* xml)
{
    ParsedXml doc(xml);
    if (doc.root == nullptr) {
        return "";
    }
    SequenceChoices choices;
    read_sequence(doc.root, choices);
    const SequenceRewrite rewrite = sequence_rewrite(doc.root, choices);
    std::string text = rewrite.rewritten ? "rewritten" : "kept";
    for (const std::string& loss : rewrite.losses) {
        text += "; " + loss;
    }
    return text;
}

TEST(SequenceRewrite, OnlyWhatTheReaderTakesSurvivesAndEachLossSaysWhy)
{
    const struct {
        const char* commands;  // inside <ACQUISITION_SEQUENCE value="0">
        const char* expected;
    } cases[] = {
        {"<PROBES_POWER state='1'/><ACQ_VBAT channel='0'/><PROBES_POWER state='0'/>", "kept"},
        // Letter case, number forms and attribute order change nothing that matters.
        {"<probes_power state='01'/><acq_vbat channel='0'/><PROBES_POWER state='0'/>", "rewritten"},
        {"<ACQ port='0' header='163' channel='1' timeout='3'/>", "rewritten"},
        // Supply commands the choices call for are added without a loss.
        {"<ACQ_VBAT channel='0'/>", "rewritten"},
        {"<BLINK/>", "rewritten; the element BLINK, which the editor does not know"},
        {"<ACQ header='1' port='3' channel='2' timeout='3'/>",
         "rewritten; ACQ port 3 channel 2, which is not in the catalogue"},
        {"<ACQ header='145' port='10' channel='1' timeout='3'/>",
         "rewritten; ACQ port 10 channel 1, measured before any probe is selected"},
        {"<ACTION port='10' and='0' or='5'/><ACQ header='145' port='10' channel='1' timeout='3'/>",
         "rewritten; ACTION port=\"10\" and=\"0\" or=\"5\"; ACQ port 10 channel 1 of probe address 5, which is not "
         "in the catalogue"},
        {"<PROBES_POWER state='6'/><WAIT timeout='2'/><ACTION port='10' and='0' or='7'/>"
         "<ACQ header='17' port='10' channel='5' timeout='3' compare='ge' threshold='1'/><PROBES_POWER state='0'/>",
         "rewritten; the threshold of [17] Channel 5 : Uranine on and off, a channel without threshold"},
        {"<ACQ header='163' port='0' channel='1' timeout='3' compare='gt' threshold='2'/>",
         "rewritten; the threshold \"2\" of [163] channel 1 : Digital inputs, whose comparison \"gt\" is neither ge "
         "nor lt"},
        {"<CONDITIONAL_ACTION port='0' and='255' or='1'/><CONDITIONAL_ACTION port='0' and='255' or='2'/>"
         "<CONDITIONAL_ACTION port='0' and='255' or='4'/>",
         "rewritten; a CONDITIONAL_ACTION that is neither the first nor the last (and 255 or 2)"},
        {"<CONDITIONAL_ACTION port='3' and='255' or='1'/>", "rewritten; CONDITIONAL_ACTION on port 3"},
        {"<ACQ_VBAT channel='1'/>", "rewritten; ACQ_VBAT on channel 1"},
        {"<ACQ header='163' port='0' channel='1' timeout='3'/><ACQ header='163' port='0' channel='1' timeout='3'/>",
         "rewritten; a repeated ACQ header=\"163\" port=\"0\" channel=\"1\" timeout=\"3\""},
        {"<PROBES_POWER state='3'/>", "rewritten; PROBES_POWER state=\"3\""},
    };
    for (const auto& c : cases) {
        const std::string xml =
            std::string("<ACQUISITION_SEQUENCE value='0'>") + c.commands + "</ACQUISITION_SEQUENCE>";
        EXPECT_EQ(c.expected, rewrite_of(xml.c_str())) << c.commands;
    }
    EXPECT_EQ("rewritten; the sequence's attribute note=\"x\"",
              rewrite_of("<ACQUISITION_SEQUENCE value='0' note='x'/>"));
    EXPECT_EQ("rewritten", rewrite_of("<ACQUISITION_SEQUENCE/>"));  // the role is written, empty
}

}  // namespace
