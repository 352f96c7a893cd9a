// A stored command survives the rewrite when the canonical commands hold
// one that means the same: the same name in any letter case, the same
// attributes in any order, values equal ignoring letter case or as numbers
// ("07" is 7). Every other command is lost, and the walk, which follows
// the reader's probe selection and its order of output changes, says why.
#include "sequence/sequence_rewrite.h"

#include <cstring>

#include "doc/secret_names.h"
#include "doc/text_parsers.h"

namespace {

const int output_port = 0;
const int probe_port = 10;

using Commands = std::vector<SequenceCommand>;

bool same_text(const char* a, const char* b)
{
    return a != nullptr && b != nullptr && a[0] == b[0] && std::strcmp(a, b) == 0;
}

// Byte for byte what the writer would put there.
bool written_as_is(const TiXmlElement* stored, const SequenceCommand& command)
{
    if (!same_text(xml_name(stored), command.name) || xml_first_child(stored) != nullptr) {
        return false;
    }
    const TiXmlAttribute* attribute = xml_first_attr(stored);
    for (int i = 0; i < command.attribute_count; ++i, attribute = xml_next_attr(attribute)) {
        if (attribute == nullptr || !same_text(xml_attr_name(attribute), command.attributes[i].name) ||
            !command.writes(i, xml_attr_value(attribute))) {
            return false;
        }
    }
    return attribute == nullptr;
}

bool in_written_form(const TiXmlElement* sequence, const Commands& commands)
{
    // The rewrite keeps the sequence's `value` and no other attribute.
    const TiXmlAttribute* role = xml_first_attr(sequence);
    if (role == nullptr || !same_text(xml_attr_name(role), "value") || xml_next_attr(role) != nullptr) {
        return false;
    }
    size_t next = 0;
    for (const TiXmlElement* stored = xml_first_child(sequence); stored != nullptr; stored = xml_next_sibling(stored)) {
        if (next == commands.size() || !written_as_is(stored, commands[next])) {
            return false;
        }
        ++next;
    }
    return next == commands.size();
}

bool same_value(const char* stored, const SequenceCommand::Attribute& written)
{
    if (stored == nullptr) {
        return false;
    }
    if (written.text != nullptr) {
        return xml_text_equals(stored, written.text);
    }
    int32_t number = 0;
    return *stored != '\0' && parse_int(stored, &number, 0) == 0 && number == written.number;
}

bool same_meaning(const TiXmlElement* stored, const SequenceCommand& command)
{
    if (!xml_text_equals(xml_name(stored), command.name) || xml_first_child(stored) != nullptr) {
        return false;
    }
    int count = 0;
    for (const TiXmlAttribute* a = xml_first_attr(stored); a != nullptr; a = xml_next_attr(a)) {
        ++count;
    }
    if (count != command.attribute_count) {
        return false;
    }
    for (int i = 0; i < command.attribute_count; ++i) {
        if (!same_value(xml_get_attr(stored, command.attributes[i].name), command.attributes[i])) {
            return false;
        }
    }
    return true;
}

// The value of an attribute as a loss quotes it: a PIN or a password a
// hand edit put into a sequence as ****.
std::string attribute_text(const TiXmlElement* element, const TiXmlAttribute* attribute)
{
    const char* value = xml_attr_value(attribute);
    return *value != '\0' && is_secret_attribute(xml_name(element), xml_attr_name(attribute)) ? "****" : value;
}

std::string rendered(const TiXmlElement* command)
{
    std::string text = xml_name(command);
    for (const TiXmlAttribute* a = xml_first_attr(command); a != nullptr; a = xml_next_attr(a)) {
        text += std::string(" ") + xml_attr_name(a) + "=\"" + attribute_text(command, a) + "\"";
    }
    if (xml_first_child(command) != nullptr) {
        text += " with its elements";
    }
    return text;
}

bool known_command(const char* name)
{
    for (const char* known :
         {"PROBES_POWER", "WAIT", "ACTION", "ACQ_VBAT", "ACQ", "CONDITIONAL_SMS", "CONDITIONAL_ACTION"}) {
        if (xml_text_equals(name, known)) {
            return true;
        }
    }
    return false;
}

std::string number(const TiXmlElement* command, const char* attribute)
{
    return std::to_string(xml_get_attr_int(command, attribute));
}

// Why the reader does not take `acq`; empty when it takes it as it is.
std::string measurement_loss(const TiXmlElement* acq, int probe)
{
    const int port = xml_get_attr_int(acq, "port");
    const std::string where = "ACQ port " + number(acq, "port") + " channel " + number(acq, "channel");
    if (port == probe_port && probe == 0) {
        return where + ", measured before any probe is selected";
    }
    const int row = find_channel(port, probe, xml_get_attr_int(acq, "channel"));
    if (row < 0) {
        return where + (port == probe_port ? " of probe address " + std::to_string(probe) : std::string()) +
               ", which is not in the catalogue";
    }
    const Channel& channel = channel_catalogue[row];
    const char* compare = xml_get_attr(acq, "compare");
    const char* threshold = xml_get_attr(acq, "threshold");
    if (!channel.has_threshold && (compare != nullptr || threshold != nullptr)) {
        return std::string("the threshold of ") + channel.caption + ", a channel without threshold";
    }
    if (threshold != nullptr && !xml_text_equals(compare, "ge") && !xml_text_equals(compare, "lt")) {
        return std::string("the threshold \"") + threshold + "\" of " + channel.caption +
               (compare == nullptr ? ", which has no comparison"
                                   : ", whose comparison \"" + std::string(compare) + "\" is neither ge nor lt");
    }
    return std::string();
}

}  // namespace

SequenceRewrite sequence_rewrite(const TiXmlElement* sequence, const SequenceChoices& choices)
{
    SequenceRewrite result;
    if (sequence == nullptr) {
        return result;
    }
    const Commands commands = canonical_commands(choices);
    if (in_written_form(sequence, commands)) {
        return result;
    }
    result.rewritten = true;
    for (const TiXmlAttribute* a = xml_first_attr(sequence); a != nullptr; a = xml_next_attr(a)) {
        if (!same_text(xml_attr_name(a), "value")) {
            result.losses.push_back(std::string("the sequence's attribute ") + xml_attr_name(a) + "=\"" +
                                    attribute_text(sequence, a) + "\"");
        }
    }

    // The reader fills the first output change from the first CONDITIONAL_ACTION
    // on port 0 and the second from the last one; those between are overwritten.
    int output_changes = 0;
    for (const TiXmlElement* c = xml_first_child(sequence); c != nullptr; c = xml_next_sibling(c)) {
        output_changes += xml_text_equals(xml_name(c), "CONDITIONAL_ACTION") && xml_get_attr_int(c, "port") == 0;
    }
    std::vector<bool> kept(commands.size(), false);
    int probe = 0;
    int output_change = 0;
    for (const TiXmlElement* stored = xml_first_child(sequence); stored != nullptr; stored = xml_next_sibling(stored)) {
        const char* name = xml_name(stored);
        selects_probe(stored, &probe);
        const bool is_output_change =
            xml_text_equals(name, "CONDITIONAL_ACTION") && xml_get_attr_int(stored, "port") == output_port;
        output_change += is_output_change;

        bool repeat = false;
        size_t match = 0;
        while (match < commands.size() && !(same_meaning(stored, commands[match]) && !kept[match])) {
            repeat = repeat || same_meaning(stored, commands[match]);
            ++match;
        }
        if (match < commands.size()) {
            kept[match] = true;
            continue;
        }

        std::string loss;
        if (!known_command(name)) {
            loss = std::string("the element ") + name + ", which the editor does not know";
        } else if (repeat) {
            loss = "a repeated " + rendered(stored);
        } else if (xml_text_equals(name, "ACQ")) {
            loss = measurement_loss(stored, probe);
        } else if (xml_text_equals(name, "CONDITIONAL_ACTION") && !is_output_change) {
            loss = "CONDITIONAL_ACTION on port " + number(stored, "port");
        } else if (is_output_change && output_change > 1 && output_change < output_changes) {
            loss = "a CONDITIONAL_ACTION that is neither the first nor the last (and " + number(stored, "and") +
                   " or " + number(stored, "or") + ")";
        } else if (xml_text_equals(name, "ACQ_VBAT") && xml_get_attr_int(stored, "channel") != 0) {
            loss = "ACQ_VBAT on channel " + number(stored, "channel");
        }
        result.losses.push_back(loss.empty() ? rendered(stored) : loss);
    }
    return result;
}
