// Fleet generator. A small fixed-seed generator (xorshift) picks every varying
// value, so fleets are identical on every platform and every run.
#include "support/station_fleet.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "doc/top_level.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"

namespace {

class FleetRandom {
public:
    explicit FleetRandom(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u)
    {
        if (state == 0) {
            state = 1;
        }
    }
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    uint32_t below(uint32_t limit) { return next() % limit; }
    bool one_in(uint32_t n) { return below(n) == 0; }

private:
    uint32_t state;
};

// Site names as an operator types them, in Windows-1252.
const char* const sites[] = {
    "Source de l'\xC9tang-Neuf",  "Gouffre du Pi\xE8ge",      "R\xE9surgence du Moulin",
    "For\xEAt de Sa\xEFx, perte", "Captage Font-Br\xFBl\xE9", "Puits de la Cr\xEAte",
    "Lac \xC0 l'Ombre",           "Doline des Ch\xEAnes",     "Exsurgence \xAB Grand Val \xBB",
};

const char* const threshold_texts[] = {"5.0", "12.5", "0.8", "100", "1013", "3,5", "-2", "0.05"};

std::string format_number(const char* format, unsigned value)
{
    char text[32];
    snprintf(text, sizeof text, format, value);
    return text;
}

void set_parameter(TiXmlElement* cfg_parameters, const char* element, const char* attribute, const std::string& value)
{
    xml_set_attr(ensure_parameter(cfg_parameters, element, attribute, ""), attribute, value.c_str());
}

// Three GSM modes: disabled, GPRS push to the server, GSM data calls.
void choose_gsm_mode(TiXmlElement* cfg_parameters, int mode)
{
    TiXmlElement* sysctrl = ensure_parameter(cfg_parameters, "SYSCTRL", "gsm_enabled", "on");
    xml_set_attr(sysctrl, "gsm_enabled", mode == 0 ? "off" : "on");
    xml_set_attr(sysctrl, "gsm_call", mode == 1 ? "on" : "off");
    xml_set_attr(sysctrl, "gprs", mode == 1 ? "on" : "off");
}

OutputChange random_output_change(FleetRandom& random)
{
    OutputChange change;
    change.on = true;
    for (OutputSetting& setting : change.outputs) {
        setting = static_cast<OutputSetting>(random.below(3));
    }
    return change;
}

SequenceChoices random_sequence(FleetRandom& random, bool with_thresholds)
{
    SequenceChoices choices;
    choices.vbat = !random.one_in(5);
    choices.vbat_eol = with_thresholds && random.one_in(2);
    choices.vbat_threshold = random.one_in(3) ? "11,5" : "11.9";
    for (size_t row = 0; row < channel_count; ++row) {
        ChannelChoice& channel = choices.channels[row];
        channel.selected = random.one_in(3);
        if (with_thresholds && channel_catalogue[row].has_threshold) {
            channel.comparison = static_cast<Comparison>(random.below(3));
            channel.threshold = threshold_texts[random.below(sizeof threshold_texts / sizeof threshold_texts[0])];
        }
    }
    if (with_thresholds) {
        choices.sms = random.one_in(2);
        if (random.one_in(2)) {
            choices.out1 = random_output_change(random);
        }
        if (random.one_in(4)) {
            choices.out2 = random_output_change(random);
        }
    }
    return choices;
}

void fill_station(TiXmlElement* station, int index, int id)
{
    FleetRandom random(static_cast<uint32_t>(index) + 1);
    unsigned serial = static_cast<unsigned>(index);
    std::string pin = format_number("%04u", random.below(10000));
    std::string description = sites[serial % (sizeof sites / sizeof sites[0])];
    description += format_number(" n\xB0 %u", serial + 1);

    xml_set_attr_int(station, "id", id);
    xml_set_attr(station, "phone_nbr", format_number("3361%08u", serial).c_str());
    xml_set_attr(station, "pin", pin.c_str());
    xml_set_attr(station, "description", description.c_str());

    StationParts parts = complete_station_defaults(station);
    choose_gsm_mode(parts.cfg_parameters, index % 3);
    set_parameter(parts.cfg_parameters, "ACQ_INTERVAL0", "value", format_number("%u", 60 * (5 + random.below(56))));
    set_parameter(parts.cfg_parameters, "ACQ_INTERVAL1", "value", format_number("%u", 60 * (1 + random.below(10))));
    set_parameter(parts.cfg_parameters, "SMS_NUMBER", "value", format_number("06%08u", random.below(100000000)));
    set_parameter(parts.cfg_parameters, "PIN_CODE", "value", pin);

    rebuild_sequence(parts.sequence(role_slow), random_sequence(random, true));
    rebuild_sequence(parts.sequence(role_fast), random_sequence(random, true));
    rebuild_sequence(parts.sequence(role_health), random_sequence(random, false));
}

}  // namespace

void add_fleet_stations(TiXmlElement* stations, int count, int first_id)
{
    if (stations == nullptr) {
        return;
    }
    for (int index = 0; index < count; ++index) {
        fill_station(xml_add_child(stations, "STATION"), index, first_id + index);
    }
}

TiXmlElement* build_fleet(myXMLdocument& document, int count)
{
    if (document.root == nullptr) {
        return nullptr;
    }
    document.clear();
    TiXmlElement* stations = bind_top_level(document).stations;
    add_fleet_stations(stations, count);
    return stations;
}
