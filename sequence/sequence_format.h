// An acquisition sequence as a set of choices, the writer that turns the
// choices into the canonical list of commands, and the reader that turns a
// stored list of commands back into choices.
#ifndef ZANTOR_SEQUENCE_SEQUENCE_FORMAT_H
#define ZANTOR_SEQUENCE_SEQUENCE_FORMAT_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "sequence/channel_catalogue.h"

// Threshold comparison; the numbers are the dialog's combo box indexes. The
// fixed type lets a combo box with no selected item (index -1) be stored as
// is: any other number counts as no threshold.
enum Comparison : int { compare_none = 0, compare_ge = 1, compare_lt = 2 };

// Setting of one digital output; the numbers are the dialog's combo box
// indexes. Any other number (index -1 of a typed text) counts as Keep.
enum OutputSetting : int { output_force_1 = 0, output_force_0 = 1, output_keep = 2 };

struct ChannelChoice {
    bool selected = false;
    Comparison comparison = compare_none;
    std::string threshold = "5.0";
};

// A conditional change of the digital outputs; outputs[k] is output Sk.
struct OutputChange {
    bool on = false;
    OutputSetting outputs[4] = {output_keep, output_keep, output_keep, output_keep};
};

struct SequenceChoices {
    bool vbat = false;                    // measure the battery voltage
    bool vbat_eol = false;                // end-of-life check on the battery voltage
    std::string vbat_threshold = "11.9";  // end-of-life threshold text
    std::vector<ChannelChoice> channels;  // one per catalogue row, same order
    bool sms = false;                     // send an SMS when a threshold passed
    OutputChange out1, out2;              // first and second output change

    SequenceChoices();
};

// Back to the state of an opening dialog: nothing selected, comparisons
// "No threshold", thresholds "5.0", outputs "Keep". The end-of-life
// threshold text is kept, as the dialog keeps it between openings.
void reset_choices(SequenceChoices& choices);

// Applies the reading rules to `choices` (normally reset first): walks the
// commands of `sequence` once; unknown commands are skipped.
void read_sequence(const TiXmlElement* sequence, SequenceChoices& choices);

// One command as the editor writes it: its element name and its attributes
// in the order they are set. Texts point into the choices the command was
// made from, so the command is valid as long as they are.
struct SequenceCommand {
    // Only the first attribute_count are set: a fleet's check makes
    // hundreds of thousands of commands.
    struct Attribute {
        const char* name;
        const char* text;  // a text attribute, or null for a number
        int number;        // written as "%d"
    };
    static const int max_attributes = 6;  // an ACQ with its threshold

    const char* name = nullptr;
    Attribute attributes[max_attributes];
    int attribute_count = 0;

    void add_number(const char* attribute, int number);
    void add_text(const char* attribute, const char* text);
    // True when `value` is what the writer stores for attribute i.
    bool writes(int i, const char* value) const;
};

// The canonical commands for `choices`, in the order the editor writes them.
std::vector<SequenceCommand> canonical_commands(const SequenceChoices& choices);

// Appends the canonical commands for `choices` to the (empty) `sequence`.
void write_sequence_commands(TiXmlElement* sequence, const SequenceChoices& choices);

// True when `command` selects the probe that later ACQs on port 10 address
// (an ACTION on port 10 with `and` 0); `probe` is then its address, `or`.
bool selects_probe(const TiXmlElement* command, int* probe);

// What the sequence dialog's OK does: regenerates `sequence` in place from
// `choices`. The element keeps its name, its place and the text of its
// `value` (empty when it had none); every other attribute and command goes.
void rebuild_sequence(TiXmlElement* sequence, const SequenceChoices& choices);

// Output masks: outputs become (outputs AND and_mask) OR or_mask.
void output_masks(const OutputSetting outputs[4], int* and_mask, int* or_mask);
void settings_from_masks(int and_mask, int or_mask, OutputSetting outputs[4]);

#endif
