// Every measurement a station can take in an acquisition sequence, as one
// table. The sequence writer and reader and the rows of the sequence dialog
// are all generated from it.
#ifndef ZANTOR_SEQUENCE_CHANNEL_CATALOGUE_H
#define ZANTOR_SEQUENCE_CHANNEL_CATALOGUE_H

#include <cstddef>

// The blocks of a sequence; the dialog shows one tab per group.
enum class ChannelGroup { OnBoard, Analog, Fluorimeter, Pressure };

// Probe addresses selected on port 10 by ACTION port 10 and 0 or <address>.
enum { probe_fluorimeter = 7, probe_pressure = 120 };

struct Channel {
    ChannelGroup group;
    int port;             // 0 on-board, 7 analog inputs, 10 external probe
    int probe;            // probe address on port 10, 0 elsewhere
    int channel;          // channel number on the port (or probe)
    int header;           // header code written with the measurement
    int timeout;          // timeout written with the measurement
    bool has_threshold;   // can carry compare and threshold
    const char* caption;  // check box caption
    const char* unit;     // unit label beside the threshold; null without threshold
    const char* key;      // control key: "0_9", "7_3", "10_7_2", "10_120_0"
};

extern const Channel channel_catalogue[];
extern const size_t channel_count;

// The catalogue row measured by an ACQ on `port`/`channel` while `probe` is
// the current probe address of port 10; -1 when no row matches.
int find_channel(int port, int probe, int channel);

#endif
