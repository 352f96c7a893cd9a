// The rules on a station's three acquisition sequences: thresholds the
// station cannot read as numbers, and sequences that OK in the sequence
// dialog would rewrite.
#include "fleet/check/station_rules.h"
#include "fleet/station/element_diff.h"
#include "sequence/sequence_rewrite.h"

namespace {

void check_thresholds(const SequenceChoices& choices, const StationUnderCheck& station, int role,
                      StationFindings& findings)
{
    if (choices.vbat && choices.vbat_eol && !is_decimal_number(choices.vbat_threshold)) {
        findings.add(Severity::warning, "threshold", station.sequence_path(role) + "/ACQ_VBAT",
                     "the End-Of-Life Threshold " + quoted(choices.vbat_threshold) + " is not a decimal number");
    }
    for (size_t row = 0; row < channel_count; ++row) {
        const Channel& channel = channel_catalogue[row];
        const ChannelChoice& choice = choices.channels[row];
        const bool compared = choice.comparison == compare_ge || choice.comparison == compare_lt;
        if (!choice.selected || !channel.has_threshold || !compared || is_decimal_number(choice.threshold)) {
            continue;
        }
        findings.add(
            Severity::warning, "threshold",
            station.sequence_path(role) + "/ACQ[port=" + std::to_string(channel.port) +
                ",channel=" + std::to_string(channel.channel) + "]",
            "the threshold " + quoted(choice.threshold) + " of " + channel.caption + " is not a decimal number");
    }
}

}  // namespace

void check_station_sequences(const StationUnderCheck& station, SequenceReadings& readings, StationFindings& findings)
{
    for (int role = 0; role < sequence_role_count; ++role) {
        const TiXmlElement* stored = station.stored.sequence(role);
        if (stored == nullptr) {
            continue;  // the dialog adds the default sequence, which is in order
        }
        SequenceChoices& choices = readings.choices[role];
        const TiXmlElement* known = readings.known[role];
        const bool same =
            readings.sequence[role] != nullptr &&
            (known != nullptr ? readings.sequence[role] == known : same_elements(readings.sequence[role], stored));
        if (!same) {
            const TiXmlElement* read = known != nullptr ? known : stored;
            reset_choices(choices);
            read_sequence(read, choices);
            readings.rewrite[role] = sequence_rewrite(read, choices);
            readings.sequence[role] = read;
        }
        check_thresholds(choices, station, role, findings);

        const SequenceRewrite& rewrite = readings.rewrite[role];
        if (!rewrite.rewritten) {
            continue;
        }
        const std::string sequence = std::string("the ") + sequence_roles[role].caption;
        if (rewrite.losses.empty()) {
            findings.add(Severity::note, "sequence-rewrite", station.sequence_path(role),
                         sequence +
                             " is not in the form the editor writes; OK in the sequence dialog rewrites it "
                             "without losing anything");
            continue;
        }
        std::string lost;
        for (const std::string& loss : rewrite.losses) {
            lost += (lost.empty() ? "" : "; ") + loss;
        }
        findings.add(Severity::warning, "sequence-rewrite", station.sequence_path(role),
                     "OK in the sequence dialog would rewrite " + sequence + " and lose " + lost);
    }
}
