// Writer and reader of acquisition sequences. The writer always produces the
// same command order for the same choices, so a sequence that went through the
// editor once is in canonical form and stays byte-identical on later stores.
#include "sequence/sequence_format.h"

#include <cctype>
#include <cstring>
#include <memory>

#include "doc/text_parsers.h"

namespace {

// Supply states of PROBES_POWER, one per block of measurements.
const int power_off = 0;
const int power_battery = 1;
const int power_fluorimeter = 6;
const int power_analog = 8;

// Settling time after switching the supply or selecting a probe.
const int settle_timeout = 2;

// The pressure probe is powered through digital output S3 of the on-board port.
const int output_port = 0;
const int probe_port = 10;
const int s3_bit = 8;
const int s3_clear = 247;

bool channel_selected(const SequenceChoices& choices, size_t row)
{
    return row < choices.channels.size() && choices.channels[row].selected;
}

bool group_selected(const SequenceChoices& choices, ChannelGroup group)
{
    for (size_t row = 0; row < channel_count; ++row) {
        if (channel_catalogue[row].group == group && channel_selected(choices, row)) {
            return true;
        }
    }
    return false;
}

using Commands = std::vector<SequenceCommand>;

SequenceCommand& add_command(Commands& commands, const char* name)
{
    commands.emplace_back();
    commands.back().name = name;
    return commands.back();
}

void add_power(Commands& commands, int state)
{
    add_command(commands, "PROBES_POWER").add_number("state", state);
}

void add_wait(Commands& commands)
{
    add_command(commands, "WAIT").add_number("timeout", settle_timeout);
}

void add_action(Commands& commands, const char* name, int port, int and_mask, int or_mask)
{
    SequenceCommand& action = add_command(commands, name);
    action.add_number("port", port);
    action.add_number("and", and_mask);
    action.add_number("or", or_mask);
}

// Selects the probe on port 10 that the following ACQs on that port address.
void add_probe_selection(Commands& commands, int probe)
{
    add_action(commands, "ACTION", probe_port, 0, probe);
}

void add_output_change(Commands& commands, const OutputChange& change)
{
    if (!change.on) {
        return;
    }
    int and_mask = 255;
    int or_mask = 0;
    output_masks(change.outputs, &and_mask, &or_mask);
    add_action(commands, "CONDITIONAL_ACTION", output_port, and_mask, or_mask);
}

// One ACQ per selected channel of the group, in catalogue order.
void add_group_measurements(Commands& commands, const SequenceChoices& choices, ChannelGroup group)
{
    for (size_t row = 0; row < channel_count; ++row) {
        const Channel& channel = channel_catalogue[row];
        if (channel.group != group || !channel_selected(choices, row)) {
            continue;
        }
        SequenceCommand& acq = add_command(commands, "ACQ");
        acq.add_number("header", channel.header);
        acq.add_number("port", channel.port);
        acq.add_number("channel", channel.channel);
        acq.add_number("timeout", channel.timeout);
        const ChannelChoice& choice = choices.channels[row];
        if (channel.has_threshold && (choice.comparison == compare_ge || choice.comparison == compare_lt)) {
            acq.add_text("compare", choice.comparison == compare_ge ? "ge" : "lt");
            acq.add_text("threshold", choice.threshold.c_str());
        }
    }
}

// The attributes the reader looks at, null when missing.
struct CommandAttributes {
    const char* port = nullptr;
    const char* channel = nullptr;
    const char* and_mask = nullptr;
    const char* or_mask = nullptr;
    const char* compare = nullptr;
    const char* threshold = nullptr;
};

// One walk over a command's attributes finds what a lookup of each would
// (names are unique); a fleet's sequences hold hundreds of thousands.
CommandAttributes attributes_of(const TiXmlElement* command)
{
    CommandAttributes found;
    for (const TiXmlAttribute* a = xml_first_attr(command); a != nullptr; a = xml_next_attr(a)) {
        const char* name = xml_attr_name(a);
        const char** slot = nullptr;
        switch (name[0]) {
            case 'p':
                slot = std::strcmp(name, "port") == 0 ? &found.port : nullptr;
                break;
            case 'c':
                slot = std::strcmp(name, "channel") == 0   ? &found.channel
                       : std::strcmp(name, "compare") == 0 ? &found.compare
                                                           : nullptr;
                break;
            case 'a':
                slot = std::strcmp(name, "and") == 0 ? &found.and_mask : nullptr;
                break;
            case 'o':
                slot = std::strcmp(name, "or") == 0 ? &found.or_mask : nullptr;
                break;
            case 't':
                slot = std::strcmp(name, "threshold") == 0 ? &found.threshold : nullptr;
                break;
        }
        if (slot != nullptr) {
            *slot = xml_attr_value(a);
        }
    }
    return found;
}

// A number as xml_get_attr_int reads it: 0 when missing.
int32_t number_of(const char* text)
{
    int32_t value = 0;
    parse_int(text, &value, 0);
    return value;
}

bool probe_selection(const CommandAttributes& action, int* probe)
{
    if (number_of(action.port) != probe_port || number_of(action.and_mask) != 0) {
        return false;
    }
    *probe = number_of(action.or_mask);
    return true;
}

void read_measurement(const CommandAttributes& acq, int probe, SequenceChoices& choices)
{
    int row = find_channel(number_of(acq.port), probe, number_of(acq.channel));
    if (row < 0 || static_cast<size_t>(row) >= choices.channels.size()) {
        return;
    }
    ChannelChoice& choice = choices.channels[row];
    choice.selected = true;
    if (!channel_catalogue[row].has_threshold) {
        return;
    }
    choice.threshold = acq.threshold != nullptr ? acq.threshold : "";
    if (xml_text_equals(acq.compare, "ge")) {
        choice.comparison = compare_ge;
    } else if (xml_text_equals(acq.compare, "lt")) {
        choice.comparison = compare_lt;
    }
}

void read_battery(const CommandAttributes& vbat, SequenceChoices& choices)
{
    if (number_of(vbat.channel) != 0) {
        return;
    }
    choices.vbat = true;
    choices.vbat_eol = vbat.threshold != nullptr;
    if (vbat.threshold != nullptr) {
        choices.vbat_threshold = vbat.threshold;
    }
}

// The SMS on threshold, and the output changes: the first CONDITIONAL_ACTION
// on port 0 fills the first change, every later one the second.
void read_conditional(const char* name, const CommandAttributes& command, SequenceChoices& choices,
                      bool& first_change_found)
{
    if (xml_text_equals(name, "CONDITIONAL_SMS")) {
        choices.sms = true;
    } else if (xml_text_equals(name, "CONDITIONAL_ACTION") && number_of(command.port) == output_port) {
        OutputChange& change = first_change_found ? choices.out2 : choices.out1;
        first_change_found = true;
        change.on = true;
        settings_from_masks(number_of(command.and_mask), number_of(command.or_mask), change.outputs);
    }
}

}  // namespace

SequenceChoices::SequenceChoices() : channels(channel_count) {}

void reset_choices(SequenceChoices& choices)
{
    choices.vbat = false;
    choices.vbat_eol = false;
    const ChannelChoice unchosen;
    choices.channels.resize(channel_count);
    for (ChannelChoice& channel : choices.channels) {
        channel = unchosen;  // in place: a fleet's check resets for every sequence
    }
    choices.sms = false;
    choices.out1 = OutputChange();
    choices.out2 = OutputChange();
}

void read_sequence(const TiXmlElement* sequence, SequenceChoices& choices)
{
    if (sequence == nullptr) {
        return;
    }
    if (choices.channels.size() < channel_count) {
        choices.channels.resize(channel_count);
    }
    // The probe on port 10 is whatever the last selecting ACTION chose; before
    // any selection no probe answers, so port-10 measurements are not ours.
    int probe = 0;
    bool first_change_found = false;
    for (const TiXmlElement* command = xml_first_child(sequence); command != nullptr;
         command = xml_next_sibling(command)) {
        const char* name = xml_name(command);
        // Supply and waits carry no choice; a fleet has hundreds of thousands.
        const int initial = toupper(static_cast<unsigned char>(name[0]));
        if (initial != 'A' && initial != 'C') {
            continue;
        }
        const CommandAttributes attributes = attributes_of(command);
        if (initial == 'C') {
            read_conditional(name, attributes, choices, first_change_found);
        } else if (xml_text_equals(name, "ACQ")) {
            read_measurement(attributes, probe, choices);
        } else if (xml_text_equals(name, "ACQ_VBAT")) {
            read_battery(attributes, choices);
        } else if (xml_text_equals(name, "ACTION")) {
            probe_selection(attributes, &probe);
        }
    }
}

void SequenceCommand::add_number(const char* attribute, int value)
{
    if (attribute_count < max_attributes) {
        attributes[attribute_count++] = Attribute{attribute, nullptr, value};
    }
}

void SequenceCommand::add_text(const char* attribute, const char* text)
{
    if (attribute_count < max_attributes) {
        attributes[attribute_count++] = Attribute{attribute, text, 0};
    }
}

bool SequenceCommand::writes(int i, const char* value) const
{
    const Attribute& attribute = attributes[i];
    if (attribute.text != nullptr) {
        return std::strcmp(attribute.text, value) == 0;
    }
    if (attribute.number < 0) {
        return std::to_string(attribute.number) == value;
    }
    // "%d" of a number that is not negative: its digits, no leading zero.
    if (value[0] == '0') {
        return attribute.number == 0 && value[1] == '\0';
    }
    long long read = 0;
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || read > attribute.number) {
            return false;
        }
        read = read * 10 + (*c - '0');
    }
    return value[0] != '\0' && read == attribute.number;
}

std::vector<SequenceCommand> canonical_commands(const SequenceChoices& choices)
{
    Commands commands;
    commands.reserve(32);
    // The battery, analog and fluorimeter blocks share the probe supply: each
    // block switches it to its own state and one switch-off ends them all.
    bool powered = false;
    if (choices.vbat) {
        add_power(commands, power_battery);
        SequenceCommand& vbat = add_command(commands, "ACQ_VBAT");
        vbat.add_number("channel", 0);
        if (choices.vbat_eol) {
            vbat.add_text("threshold", choices.vbat_threshold.c_str());
        }
        powered = true;
    }
    add_group_measurements(commands, choices, ChannelGroup::OnBoard);
    if (group_selected(choices, ChannelGroup::Analog)) {
        add_power(commands, power_analog);
        add_wait(commands);
        add_group_measurements(commands, choices, ChannelGroup::Analog);
        powered = true;
    }
    if (group_selected(choices, ChannelGroup::Fluorimeter)) {
        add_power(commands, power_fluorimeter);
        add_wait(commands);
        add_probe_selection(commands, probe_fluorimeter);
        add_group_measurements(commands, choices, ChannelGroup::Fluorimeter);
        powered = true;
    }
    if (powered) {
        add_power(commands, power_off);
    }
    if (group_selected(choices, ChannelGroup::Pressure)) {
        add_action(commands, "ACTION", output_port, s3_clear, s3_bit);
        add_wait(commands);
        add_probe_selection(commands, probe_pressure);
        add_group_measurements(commands, choices, ChannelGroup::Pressure);
        add_action(commands, "ACTION", output_port, s3_clear, 0);
    }
    if (choices.sms) {
        add_command(commands, "CONDITIONAL_SMS");
    }
    add_output_change(commands, choices.out1);
    add_output_change(commands, choices.out2);
    return commands;
}

void write_sequence_commands(TiXmlElement* sequence, const SequenceChoices& choices)
{
    if (sequence == nullptr) {
        return;
    }
    for (const SequenceCommand& command : canonical_commands(choices)) {
        TiXmlElement* element = xml_add_child(sequence, command.name);
        for (int i = 0; i < command.attribute_count; ++i) {
            const SequenceCommand::Attribute& attribute = command.attributes[i];
            if (attribute.text != nullptr) {
                xml_set_attr(element, attribute.name, attribute.text);
            } else {
                xml_set_attr_int(element, attribute.name, attribute.number);
            }
        }
    }
}

bool selects_probe(const TiXmlElement* command, int* probe)
{
    return xml_text_equals(xml_name(command), "ACTION") && probe_selection(attributes_of(command), probe);
}

void rebuild_sequence(TiXmlElement* sequence, const SequenceChoices& choices)
{
    if (sequence == nullptr) {
        return;
    }
    // Built apart first: the new content depends on nothing of the old one
    // but its role, so every unrecognised command and attribute is dropped.
    std::unique_ptr<TiXmlElement> rebuilt(xml_add_child(nullptr, "ACQUISITION_SEQUENCE"));
    xml_set_attr(rebuilt.get(), "value", xml_get_attr_text(sequence, "value"));
    write_sequence_commands(rebuilt.get(), choices);
    xml_clear(sequence);
    xml_copy(sequence, rebuilt.get());
}

void output_masks(const OutputSetting outputs[4], int* and_mask, int* or_mask)
{
    int and_result = 255;
    int or_result = 0;
    for (int k = 0; k < 4 && outputs != nullptr; ++k) {
        int bit = 1 << k;
        if (outputs[k] == output_force_1) {
            or_result |= bit;
        } else if (outputs[k] == output_force_0) {
            // The station has four outputs only: forcing one to 0 keeps the
            // mask to those four bits (7, 11, 13 or 14), as stored files have it.
            and_result &= 0x0F & ~bit;
        }
    }
    if (and_mask != nullptr) {
        *and_mask = and_result;
    }
    if (or_mask != nullptr) {
        *or_mask = or_result;
    }
}

void settings_from_masks(int and_mask, int or_mask, OutputSetting outputs[4])
{
    if (outputs == nullptr) {
        return;
    }
    for (int k = 0; k < 4; ++k) {
        int bit = 1 << k;
        if (or_mask & bit) {
            outputs[k] = output_force_1;
        } else if (!(and_mask & bit)) {
            outputs[k] = output_force_0;
        } else {
            outputs[k] = output_keep;
        }
    }
}
