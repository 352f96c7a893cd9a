#include "fleet/station/sequence_text.h"

#include "fleet/station/text.h"

namespace {

// Thresholds are texts typed by operators: one that could be taken for
// the list's own punctuation is quoted.
std::string threshold_text(const std::string& threshold)
{
    if (!threshold.empty() && threshold.find_first_of(" ,;\"") == std::string::npos) {
        return threshold;
    }
    return quoted(threshold);
}

void add_item(std::string& text, const std::string& item)
{
    if (!text.empty()) {
        text += "; ";
    }
    text += item;
}

}  // namespace

std::string channel_condition(const ChannelChoice& choice, const Channel& channel)
{
    if (!channel.has_threshold || (choice.comparison != compare_ge && choice.comparison != compare_lt)) {
        return std::string();
    }
    return (choice.comparison == compare_ge ? "ge " : "lt ") + threshold_text(choice.threshold);
}

std::string battery_condition(const SequenceChoices& choices)
{
    return choices.vbat_eol ? "eol " + threshold_text(choices.vbat_threshold) : std::string();
}

std::string output_change_text(const OutputChange& change)
{
    std::string text;
    for (int k = 3; k >= 0; --k) {
        if (change.outputs[k] == output_force_1 || change.outputs[k] == output_force_0) {
            if (!text.empty()) {
                text += ' ';
            }
            text += "S" + std::to_string(k) + (change.outputs[k] == output_force_1 ? "=1" : "=0");
        }
    }
    return text.empty() ? "outputs kept" : text;
}

std::string channel_port_text(const Channel& channel)
{
    return std::to_string(channel.port) + (channel.probe != 0 ? "." + std::to_string(channel.probe) : "") + "/";
}

std::string sequence_text(const SequenceChoices& choices)
{
    std::string text;
    if (choices.vbat) {
        const std::string condition = battery_condition(choices);
        add_item(text, condition.empty() ? "VBat" : "VBat " + condition);
    }
    std::string item;
    for (size_t row = 0; row < channel_count && row < choices.channels.size(); ++row) {
        const Channel& channel = channel_catalogue[row];
        const bool same_port = row > 0 && channel.port == channel_catalogue[row - 1].port &&
                               channel.probe == channel_catalogue[row - 1].probe;
        if (!same_port && !item.empty()) {
            add_item(text, item);
            item.clear();
        }
        if (!choices.channels[row].selected) {
            continue;
        }
        item += item.empty() ? channel_port_text(channel) : ",";
        item += std::to_string(channel.channel);
        const std::string condition = channel_condition(choices.channels[row], channel);
        if (!condition.empty()) {
            item += " " + condition;
        }
    }
    if (!item.empty()) {
        add_item(text, item);
    }
    if (choices.sms) {
        add_item(text, "SMS");
    }
    for (const OutputChange* change : {&choices.out1, &choices.out2}) {
        if (change->on) {
            add_item(text, output_change_text(*change));
        }
    }
    return text;
}
