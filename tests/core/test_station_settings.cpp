// The station dialog's value rules, without a window.
#include <gtest/gtest.h>

#include "station/station_settings.h"
#include "station/station_values.h"
#include "support/core_tree.h"

namespace {

GsmFlags flags(bool enabled, bool call, bool gprs)
{
    GsmFlags f;
    f.gsm_enabled = enabled;
    f.gsm_call = call;
    f.gprs = gprs;
    return f;
}

bool same(const GsmFlags& a, const GsmFlags& b)
{
    return a.gsm_enabled == b.gsm_enabled && a.gsm_call == b.gsm_call && a.gprs == b.gprs;
}

}  // namespace

TEST(StationSwitches, OnInAnyCaseIsSetEverythingElseIsOff)
{
    EXPECT_TRUE(switch_is_set("on"));
    EXPECT_TRUE(switch_is_set("ON"));
    EXPECT_FALSE(switch_is_set("off"));
    EXPECT_FALSE(switch_is_set("on "));
    EXPECT_FALSE(switch_is_set(""));
    EXPECT_FALSE(switch_is_set(nullptr));
}

TEST(StationGsmMode, TypedTextNamesAModeOnlyWhenItMatchesAnItem)
{
    EXPECT_EQ(gsm_mode_from_text("Disabled"), gsm_mode_disabled);
    EXPECT_EQ(gsm_mode_from_text("GPRS PUSH"), gsm_mode_gprs_push);
    EXPECT_EQ(gsm_mode_from_text("GSM DATA"), gsm_mode_gsm_data);
    EXPECT_EQ(gsm_mode_from_text("gsm data"), gsm_mode_none);
    EXPECT_EQ(gsm_mode_from_text(""), gsm_mode_none);
}

TEST(StationGsmMode, ChoosingAModeSetsItsSwitches)
{
    GsmFlags f = flags(true, true, true);
    apply_gsm_mode(gsm_mode_disabled, f);
    EXPECT_TRUE(same(f, flags(false, false, false)));
    apply_gsm_mode(gsm_mode_gprs_push, f);
    EXPECT_TRUE(same(f, flags(true, true, true)));
    // GSM DATA over GPRS PUSH drops gprs and keeps the data calls.
    apply_gsm_mode(gsm_mode_gsm_data, f);
    EXPECT_TRUE(same(f, flags(true, true, false)));
    f = flags(false, false, true);
    apply_gsm_mode(gsm_mode_gsm_data, f);
    EXPECT_TRUE(same(f, flags(true, false, true)));
    apply_gsm_mode(gsm_mode_none, f);
    EXPECT_TRUE(same(f, flags(true, false, true)));
}

// Whatever the switches were, a chosen mode is the mode the station reopens in.
TEST(StationGsmMode, EveryChosenModeReadsBackAsItself)
{
    for (int enabled = 0; enabled < 2; ++enabled) {
        for (int call = 0; call < 2; ++call) {
            for (int gprs = 0; gprs < 2; ++gprs) {
                for (GsmMode mode : {gsm_mode_disabled, gsm_mode_gprs_push, gsm_mode_gsm_data}) {
                    GsmFlags f = flags(enabled, call, gprs);
                    apply_gsm_mode(mode, f);
                    EXPECT_EQ(gsm_mode_from_flags(f), mode) << enabled << call << gprs << " " << mode;
                }
            }
        }
    }
}

namespace {

// A text, the seconds of its unit, and the text it becomes.
struct TimeCase {
    const char* text;
    int32_t unit_seconds;
    const char* expected;
};

const TimeCase stored_seconds[] = {
    {"90", seconds_per_minute, "1"},    {"59", seconds_per_minute, "0"},
    {"86399", seconds_per_hour, "23"},  {"-90", seconds_per_minute, "-1"},
    {"600s", seconds_per_minute, "10"}, {"", seconds_per_minute, "0"},
    {nullptr, seconds_per_hour, "0"},   {"99999999999", seconds_per_minute, "35791394"},
};

const TimeCase typed_units[] = {
    {"1", seconds_per_minute, "60"},    {"1.5", seconds_per_minute, "60"}, {"15 min", seconds_per_minute, "900"},
    {"-5", seconds_per_minute, "-300"}, {"24", seconds_per_hour, "86400"}, {"abc", seconds_per_minute, "0"},
    {nullptr, seconds_per_hour, "0"},
};

// 596523 hours is the last whole number of hours that fits 32 bits.
const TimeCase typed_units_beyond_range[] = {
    {"596523", seconds_per_hour, "2147482800"},       {"596524", seconds_per_hour, "2147483647"},
    {"35791395", seconds_per_minute, "2147483647"},   {"99999999999999", seconds_per_minute, "2147483647"},
    {"-35791395", seconds_per_minute, "-2147483648"}, {"-99999999999999", seconds_per_hour, "-2147483648"},
};

}  // namespace

TEST(StationTimes, StoredSecondsShownAsWholeUnits)
{
    for (const TimeCase& c : stored_seconds) {
        EXPECT_EQ(units_from_seconds(c.text, c.unit_seconds), c.expected) << (c.text ? c.text : "null");
    }
}

TEST(StationTimes, TypedUnitsStoredAsSeconds)
{
    for (const TimeCase& c : typed_units) {
        EXPECT_EQ(seconds_from_units(c.text, c.unit_seconds), c.expected) << (c.text ? c.text : "null");
    }
}

TEST(StationTimes, TimesBeyondThe32BitRangeStopAtItsLimit)
{
    for (const TimeCase& c : typed_units_beyond_range) {
        EXPECT_EQ(seconds_from_units(c.text, c.unit_seconds), c.expected) << c.text;
    }
}

TEST(StationPin, ParameterFirstThenAttributeThenNothing)
{
    EXPECT_EQ(pin_to_show("1234", "6852"), "1234");
    EXPECT_EQ(pin_to_show("", "6852"), "6852");
    EXPECT_EQ(pin_to_show(nullptr, "6852"), "6852");
    EXPECT_EQ(pin_to_show("", ""), "");
    EXPECT_EQ(pin_to_show(nullptr, nullptr), "");
    EXPECT_EQ(pin_to_show(" ", "6852"), " ");
}

// The values of the station dialog's boxes, read from a record and stored
// back, without the dialog.
TEST(StationValues, ShownAsTheDialogShowsThemAndStoredBackTheSameWay)
{
    ParsedXml doc(
        "<STATION id='007' pin='1111' description='Pump'><CONFIGURATION value='0'>"
        "<SYSCTRL gsm_enabled='ON' gsm_call='on' gprs='On'/><PIN_CODE value='2222'/>"
        "<GSM_DURATION value='90'/><GSM_INTERVAL value='86399'/></CONFIGURATION></STATION>");
    TiXmlElement* station = doc.root;
    const StationParts parts = complete_station_defaults(station);
    StationValues values = load_station_values(station, parts);
    EXPECT_EQ(values.text[field_id], "7");
    EXPECT_EQ(values.text[field_pin], "2222");
    EXPECT_EQ(values.text[field_gsm_mode], "GPRS PUSH");
    EXPECT_EQ(values.text[field_gsm_duration], "1");
    EXPECT_EQ(values.text[field_gsm_interval], "23");
    EXPECT_EQ(values.text[field_apn_password], "");

    values.text[field_id] = "12A";
    values.text[field_gsm_duration] = "1.5";
    apply_gsm_mode(gsm_mode_gsm_data, values.flags);
    store_station_values(station, parts, values);
    EXPECT_STREQ(xml_get_attr(station, "id"), "12A");
    EXPECT_STREQ(xml_get_attr(station, "pin"), "2222");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "PIN_CODE", "value"), "2222");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "GSM_DURATION", "value"), "60");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "GSM_INTERVAL", "value"), "82800");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "SYSCTRL", "gprs"), "off");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "SYSCTRL", "gsm_call"), "on");
    EXPECT_EQ(load_station_values(station, parts).text[field_gsm_mode], "GSM DATA");
}
