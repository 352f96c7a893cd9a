// The channels a station can measure in an acquisition sequence. Captions and
// units are document text (Windows-1252), so the degree sign is the byte 0xB0.
#include "sequence/channel_catalogue.h"

namespace {

const ChannelGroup on_board = ChannelGroup::OnBoard;
const ChannelGroup analog = ChannelGroup::Analog;
const ChannelGroup fluorimeter = ChannelGroup::Fluorimeter;
const ChannelGroup pressure = ChannelGroup::Pressure;

}  // namespace

// clang-format off
const Channel channel_catalogue[] = {
    // group       port probe                channel header timeout threshold caption, unit, key
    {on_board,     0,   0,                   1,  163, 3, true,  "[163] channel 1 : Digital inputs",              "[-]",     "0_1"},
    {on_board,     0,   0,                   9,  168, 3, true,  "[168] Channel 9 : Relative pulse counter #0",   "[pulse]", "0_9"},
    {on_board,     0,   0,                   11, 171, 3, true,  "[171] Channel 11 : Relative pulse counter #1",  "[pulse]", "0_11"},
    {analog,       7,   0,                   0,  169, 4, true,  "[169] Channel 0 : Voltage input 0-3V",          "[V]",     "7_0"},
    {analog,       7,   0,                   1,  176, 4, true,  "[176] Channel 1 : Voltage input 0-5V",          "[V]",     "7_1"},
    {analog,       7,   0,                   2,  178, 4, true,  "[178] Channel 2 : Current input 4-20mA",        "[mA]",    "7_2"},
    {analog,       7,   0,                   3,  161, 4, true,  "[161] Channel 3 : Current input 4-20mA",        "[mA]",    "7_3"},
    {analog,       7,   0,                   4,  170, 4, true,  "[170] Channel 4 : Voltage input 0-3V",          "[V]",     "7_4"},
    {analog,       7,   0,                   5,  180, 4, true,  "[180] Channel 5 : Current input 4-20mA",        "[mA]",    "7_5"},
    {analog,       7,   0,                   6,  179, 4, true,  "[179] Channel 6 : Current input 4-20mA",        "[mA]",    "7_6"},
    {analog,       7,   0,                   7,  162, 4, true,  "[162] Channel 7 : Current input 4-20mA",        "[mA]",    "7_7"},
    {fluorimeter,  10,  probe_fluorimeter,   0,  144, 3, true,  "[144] Channel 0 : Temperature",                 "[\xB0" "C]", "10_7_0"},
    {fluorimeter,  10,  probe_fluorimeter,   1,  145, 3, true,  "[145] Channel 1 : Uranine delta (on-off)",      "[mv]",    "10_7_1"},
    {fluorimeter,  10,  probe_fluorimeter,   2,  146, 3, true,  "[146] Channel 2 : Rhodamine delta (on-off)",    "[mv]",    "10_7_2"},
    {fluorimeter,  10,  probe_fluorimeter,   3,  147, 3, true,  "[147] Channel 3 : Tinopal delta (on-off)",      "[mv]",    "10_7_3"},
    {fluorimeter,  10,  probe_fluorimeter,   4,  148, 3, true,  "[148] Channel 4 : Turbidity delta (on-off)",    "[mv]",    "10_7_4"},
    {fluorimeter,  10,  probe_fluorimeter,   5,  17,  3, false, "[17] Channel 5 : Uranine on and off",           nullptr,   "10_7_5"},
    {fluorimeter,  10,  probe_fluorimeter,   6,  18,  3, false, "[18] Channel 6 : Rhodamine on and off",         nullptr,   "10_7_6"},
    {fluorimeter,  10,  probe_fluorimeter,   7,  19,  3, false, "[19] Channel 7 : Tinopal on and off",           nullptr,   "10_7_7"},
    {fluorimeter,  10,  probe_fluorimeter,   8,  20,  3, false, "[20] Channel 8 : Turbidity on and off",         nullptr,   "10_7_8"},
    {fluorimeter,  10,  probe_fluorimeter,   9,  22,  3, true,  "[22] Channel 9 : Conductivity",                 "[-] (m1/m0 ratio)", "10_7_9"},
    {pressure,     10,  probe_pressure,      0,  150, 3, true,  "[150] Channel 0 : Pressure",                    "[mbar]",  "10_120_0"},
    {pressure,     10,  probe_pressure,      1,  144, 3, true,  "[144] Channel 1 : Temperature",                 "[\xB0" "C]", "10_120_1"},
};
// clang-format on

const size_t channel_count = sizeof channel_catalogue / sizeof channel_catalogue[0];
static_assert(sizeof channel_catalogue / sizeof channel_catalogue[0] == 23, "the station knows 23 channels");

int find_channel(int port, int probe, int channel)
{
    for (size_t row = 0; row < channel_count; ++row) {
        const Channel& c = channel_catalogue[row];
        // Only port 10 multiplexes probes; elsewhere the probe address is meaningless.
        bool same_probe = port != 10 || c.probe == probe;
        if (c.port == port && c.channel == channel && same_probe) {
            return static_cast<int>(row);
        }
    }
    return -1;
}
