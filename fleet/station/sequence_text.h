// The choices of an acquisition sequence in a few words, for the station
// list and the comparison of two files: "VBat eol 11.9; 0/9 ge 100; 7/0;
// 10.7/1,5; 10.120/0; SMS; S3=1". Items are separated by "; ": the battery,
// then one item per port (and probe address on port 10) listing its
// measured channels with their thresholds, the SMS on threshold, and one
// item per change of the digital outputs.
#ifndef ZANTOR_FLEET_STATION_SEQUENCE_TEXT_H
#define ZANTOR_FLEET_STATION_SEQUENCE_TEXT_H

#include <string>

#include "sequence/sequence_format.h"

// The whole sequence; empty when it measures nothing and does nothing.
std::string sequence_text(const SequenceChoices& choices);

// The threshold the writer stores for a measured channel: "ge 100",
// "lt \"3,5\"", or empty when it stores none.
std::string channel_condition(const ChannelChoice& choice, const Channel& channel);

// The battery's end-of-life check as stored: "eol 11.9", or empty.
std::string battery_condition(const SequenceChoices& choices);

// A change of the digital outputs that is on: the forced outputs from S3
// down to S0, "S3=1 S0=0", or "outputs kept" when it forces none.
std::string output_change_text(const OutputChange& change);

// "10.7/" for the fluorimeter's channels, "0/" for the on-board ones.
std::string channel_port_text(const Channel& channel);

#endif
