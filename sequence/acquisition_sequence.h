// The modal dialog that edits one acquisition sequence of a station as a set
// of choices: which channels to measure, with which alarm threshold, the
// battery voltage with its end-of-life check, and what to do when a
// threshold passes (send an SMS, change the digital outputs S0 to S3).
//
// The dialog only moves values between its controls and SequenceChoices;
// reading and regenerating the sequence element is the format's business.
// The rows of channels are generated from the channel catalogue.
#ifndef ZANTOR_SEQUENCE_ACQUISITION_SEQUENCE_H
#define ZANTOR_SEQUENCE_ACQUISITION_SEQUENCE_H

#include <tinyxml.h>

#include <array>
#include <memory>
#include <vector>

#include "doc/Lib_cpp.h"
#include "sequence/sequence_format.h"
#include "widgets/editor_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class TFacquisition_sequence : public EditorDialog {
    Q_OBJECT

public:
    explicit TFacquisition_sequence(QWidget* parent = nullptr);

    // The modal editing run: loads `sequence` into the controls and, on OK,
    // regenerates it from them. Nothing is shown when `sequence` is null;
    // Cancel, Escape and the close box leave it untouched.
    void execute(TiXmlElement* sequence, bool show_thresholds, const char* caption);

    // The controls of one catalogue row. Channels that cannot carry a
    // threshold have their check box only; the other three are then null.
    struct ChannelRow {
        QCheckBox* cb = nullptr;
        QComboBox* cbb = nullptr;
        QLineEdit* ed = nullptr;
        QLabel* lb = nullptr;
    };

    // Threshold controls, the end-of-life check and the conditional actions
    // are shown only in this mode (the Health sequence is edited without).
    bool show_thresholds = false;
    // The working copy of the sequence being edited, detached and owned.
    std::unique_ptr<TiXmlElement> sequence_copy;
    // The caption of the current opening.
    Tmy_string title;

    QWidget* TabSheet1;     // "On-Board"
    QWidget* TabSheet2;     // "Analog"
    QWidget* TabSheet3;     // "Fluorimeter"
    QWidget* TabSheet4;     // "Pressure"
    QWidget* TabSheet5;     // "Actions"
    QGroupBox* GroupBox14;  // "On-Board probes"
    QGroupBox* GroupBox2;   // "Analog inputs"
    QGroupBox* GroupBox1;   // "Fluorimeter"
    QGroupBox* GroupBox3;   // "Pressure"
    QGroupBox* gb_actions;  // "Conditional actions"

    QCheckBox* cb_vbat;
    QCheckBox* cb_vbat_eol;
    QLineEdit* ed_vbat_threshold;
    QLabel* lb_vbat;
    std::vector<ChannelRow> channel_rows;  // one per catalogue row, same order

    QCheckBox* cb_s_sms;
    QCheckBox* cb_s_out;
    QCheckBox* cb_s2_out;
    QComboBox* cbb_s_o3;
    QComboBox* cbb_s_o2;
    QComboBox* cbb_s_o1;
    QComboBox* cbb_s_o0;
    QComboBox* cbb_s2_o3;
    QComboBox* cbb_s2_o2;
    QComboBox* cbb_s2_o1;
    QComboBox* cbb_s2_o0;
    QLabel* Label79;  // "S3"
    QLabel* Label80;  // "S2"
    QLabel* Label81;  // "S1"
    QLabel* Label82;  // "S0"

public slots:
    // Enables and shows the controls that depend on ticks, comparisons and
    // the threshold mode; the controls keep their values meanwhile.
    void setup_display_conditions();

private:
    // Four output combo boxes in the order S3, S2, S1, S0 of the dialog's row.
    using OutputRow = std::array<QComboBox*, 4>;

    void build_form();
    void build_channel_group(ChannelGroup group, QGroupBox* box);
    void build_actions();

    void reset_controls();
    void load_sequence();
    void load_channel(const ChannelChoice& choice, const ChannelRow& row);
    void show_output_masks(const OutputChange& change, QCheckBox* switch_box, const OutputRow& outputs);
    void store_sequence();
    ChannelChoice store_channel(const ChannelRow& row) const;
    OutputChange output_masks(QCheckBox* switch_box, const OutputRow& outputs) const;

    // Controls <-> choices; the format turns choices into commands and back.
    void show_choices(const SequenceChoices& choices);
    SequenceChoices choices_from_controls() const;

    OutputRow first_outputs() const { return {cbb_s_o3, cbb_s_o2, cbb_s_o1, cbb_s_o0}; }
    OutputRow second_outputs() const { return {cbb_s2_o3, cbb_s2_o2, cbb_s2_o1, cbb_s2_o0}; }

    OneInstance<TFacquisition_sequence> instance;
};

// The one instance, created hidden at start-up; null until then.
extern TFacquisition_sequence* Facquisition_sequence;

// Opens the dialog on `sequence`; does nothing when the dialog does not exist.
void edit_sequence(TiXmlElement* sequence, bool show_thresholds, const char* caption);

#endif
