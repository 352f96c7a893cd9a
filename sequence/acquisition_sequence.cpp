#include "sequence/acquisition_sequence.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "widgets/cp1252_text.h"
#include "widgets/form.h"
#include "widgets/window_place.h"

TFacquisition_sequence* Facquisition_sequence = nullptr;

namespace {

// Where the rows of one block of channels stand: one tab with one group box,
// and the columns of check box, comparison, threshold edit and unit label.
struct GroupLayout {
    ChannelGroup group;
    QWidget* TFacquisition_sequence::*tab;
    QGroupBox* TFacquisition_sequence::*box;
    const char* tab_name;
    const char* tab_caption;
    const char* box_name;
    const char* box_caption;
    int box_height;
    int check_left;
    int combo_left;
    int edit_left;
    int unit_left;
    int first_row_top;              // the on-board tab starts with the battery row
    const char* initial_threshold;  // what the edits show before the first opening
};

// clang-format off
const GroupLayout group_layouts[] = {
    {ChannelGroup::OnBoard,     &TFacquisition_sequence::TabSheet1, &TFacquisition_sequence::GroupBox14, "TabSheet1", "On-Board",    "GroupBox14", "On-Board probes", 185, 16, 288, 440, 488, 40, "0"},
    {ChannelGroup::Analog,      &TFacquisition_sequence::TabSheet2, &TFacquisition_sequence::GroupBox2,  "TabSheet2", "Analog",      "GroupBox2",  "Analog inputs",   257, 16, 232, 384, 432, 16, "0.0"},
    {ChannelGroup::Fluorimeter, &TFacquisition_sequence::TabSheet3, &TFacquisition_sequence::GroupBox1,  "TabSheet3", "Fluorimeter", "GroupBox1",  "Fluorimeter",     257, 16, 256, 408, 456, 16, "0.0"},
    {ChannelGroup::Pressure,    &TFacquisition_sequence::TabSheet4, &TFacquisition_sequence::GroupBox3,  "TabSheet4", "Pressure",    "GroupBox3",  "Pressure",        257, 16, 256, 408, 456, 16, "0.0"},
};
// One column of the actions tab: the output it sets, named by its caption
// above the column, and its combo box in each of the two rows of changes.
struct OutputColumn {
    QLabel* TFacquisition_sequence::*caption;
    const char* caption_name;
    const char* caption_text;
    int caption_left;
    int combo_left;
    QComboBox* TFacquisition_sequence::*combos[2];
    const char* combo_names[2];
};

const OutputColumn output_columns[] = {
    {&TFacquisition_sequence::Label79, "Label79", "S3", 256, 232, {&TFacquisition_sequence::cbb_s_o3, &TFacquisition_sequence::cbb_s2_o3}, {"cbb_s_o3", "cbb_s2_o3"}},
    {&TFacquisition_sequence::Label80, "Label80", "S2", 328, 304, {&TFacquisition_sequence::cbb_s_o2, &TFacquisition_sequence::cbb_s2_o2}, {"cbb_s_o2", "cbb_s2_o2"}},
    {&TFacquisition_sequence::Label81, "Label81", "S1", 400, 376, {&TFacquisition_sequence::cbb_s_o1, &TFacquisition_sequence::cbb_s2_o1}, {"cbb_s_o1", "cbb_s2_o1"}},
    {&TFacquisition_sequence::Label82, "Label82", "S0", 472, 448, {&TFacquisition_sequence::cbb_s_o0, &TFacquisition_sequence::cbb_s2_o0}, {"cbb_s_o0", "cbb_s2_o0"}},
};
// clang-format on

// The tops of the two rows of output changes.
const int output_row_tops[2] = {38, 62};

const int row_spacing = 24;
const int check_height = 17;
const int combo_width = 137;
const int edit_width = 41;
const int field_raise = 3;  // combo boxes and edits stand 3 pixels above their row
const int box_left = 0;
const int box_top = 4;
const int box_width = 553;
const int gap_before_combo = 8;

const char* const comparison_items[] = {"No threshold", ">= Greater Or Equal", "< Less Than"};
const char* const output_items[] = {"Force 1", "Force 0", "Keep"};

QGroupBox* make_tab_group_box(QWidget* page, const char* name, const char* caption, int height)
{
    return make_group_box(page, latin(name), latin(caption), QRect(box_left, box_top, box_width, height), true);
}

QCheckBox* make_row_check_box(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                              int width)
{
    return make_check_box(parent, name, caption, QRect(left, top, width, check_height));
}

QComboBox* make_choice(QWidget* parent, const QString& name, const char* const* items, int left, int top, int width)
{
    return make_combo_box(parent, name, {latin(items[0]), latin(items[1]), latin(items[2])},
                          QRect(left, top, width, field_height));
}

QLineEdit* make_threshold_edit(QWidget* parent, const QString& name, const char* text, int left, int top)
{
    QLineEdit* edit = make_edit(parent, name, QRect(left, top, edit_width, field_height));
    edit->setText(latin(text));
    return edit;
}

// An editable combo box has the item its text names selected; a typed text
// that names no item selects none (-1), whatever was picked before.
int chosen_item(const QComboBox* combo)
{
    return combo->findText(combo->currentText(), Qt::MatchFixedString);
}

// The value an editable combo box names when its items are the values of
// `Choice` in order, from 0 to `last`; `otherwise` for a text that names none.
template <typename Choice>
Choice chosen_value(const QComboBox* combo, Choice last, Choice otherwise)
{
    const int item = chosen_item(combo);
    return item >= 0 && item <= last ? static_cast<Choice>(item) : otherwise;
}

}  // namespace

TFacquisition_sequence::TFacquisition_sequence(QWidget* parent)
    : EditorDialog(parent),
      sequence_copy(xml_add_child(nullptr, "ACQUISITION_SEQUENCE")),
      instance(Facquisition_sequence, this)
{
    build_form();
    preview_keys();
}

void TFacquisition_sequence::build_form()
{
    // A sizeable window: 583 x 459 with the frame, 575 x 425 inside it.
    place_window_frame(this, 145, 21);
    resize(575, 425);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 569, 385);

    channel_rows.assign(channel_count, ChannelRow());
    for (const GroupLayout& layout : group_layouts) {
        QWidget* page = new QWidget();
        page->setObjectName(latin(layout.tab_name));
        PageControl1->addTab(page, latin(layout.tab_caption));
        this->*layout.tab = page;
        this->*layout.box = make_tab_group_box(page, layout.box_name, layout.box_caption, layout.box_height);
    }

    // The battery row heads the on-board tab; its end-of-life threshold text
    // is the only value of the form that survives from one opening to the next.
    cb_vbat = make_row_check_box(GroupBox14, QStringLiteral("cb_vbat"), QStringLiteral("Measure VBat"), 16, 16, 97);
    cb_vbat->setChecked(true);
    cb_vbat_eol = make_row_check_box(GroupBox14, QStringLiteral("cb_vbat_eol"), QStringLiteral("End-Of-Life Threshold"),
                                     288, 16, 145);
    cb_vbat_eol->setChecked(true);
    ed_vbat_threshold =
        make_threshold_edit(GroupBox14, QStringLiteral("ed_vbat_threshold"), "11.9", 440, 16 - field_raise);
    lb_vbat = make_label(GroupBox14, QStringLiteral("lb_vbat"), QStringLiteral("[V]"), 488, 16);

    for (const GroupLayout& layout : group_layouts) {
        build_channel_group(layout.group, this->*layout.box);
    }
    // The digital inputs row starts without its threshold controls; the first
    // opening shows them with the others.
    int digital_inputs = find_channel(0, 0, 1);
    if (digital_inputs >= 0) {
        const ChannelRow& row = channel_rows[digital_inputs];
        for (QWidget* control : std::initializer_list<QWidget*>{row.cbb, row.ed, row.lb}) {
            control->hide();
        }
    }

    TabSheet5 = new QWidget();
    TabSheet5->setObjectName(QStringLiteral("TabSheet5"));
    PageControl1->addTab(TabSheet5, QStringLiteral("Actions"));
    build_actions();
    // One font on all five tabs: a caption that does not fit is condensed,
    // and every other caption of the dialog with it.
    condense_to_fit(captions_in(PageControl1));
    PageControl1->setCurrentWidget(TabSheet2);
    for (QCheckBox* box : {cb_vbat, cb_vbat_eol, cb_s_sms, cb_s_out, cb_s2_out}) {
        connect(box, &QCheckBox::toggled, this, &TFacquisition_sequence::setup_display_conditions);
    }

    build_ok_cancel(QPoint(152, 392), QPoint(312, 392));
}

// One row per catalogue channel of the group, in catalogue order, named after
// the channel's key: cb_7_3, cbb_7_3, ed_7_3, lb_7_3.
void TFacquisition_sequence::build_channel_group(ChannelGroup group, QGroupBox* box)
{
    const GroupLayout* layout = nullptr;
    for (const GroupLayout& candidate : group_layouts) {
        if (candidate.group == group) {
            layout = &candidate;
        }
    }
    int top = layout->first_row_top;
    for (size_t index = 0; index < channel_count; ++index) {
        const Channel& channel = channel_catalogue[index];
        if (channel.group != group) {
            continue;
        }
        const QString key = latin(channel.key);
        ChannelRow& row = channel_rows[index];
        int check_width = layout->combo_left - layout->check_left - gap_before_combo;
        row.cb = make_row_check_box(box, QStringLiteral("cb_") + key, qstring_from_cp1252(channel.caption),
                                    layout->check_left, top, check_width);
        connect(row.cb, &QCheckBox::toggled, this, &TFacquisition_sequence::setup_display_conditions);
        if (channel.has_threshold) {
            row.cbb = make_choice(box, QStringLiteral("cbb_") + key, comparison_items, layout->combo_left,
                                  top - field_raise, combo_width);
            row.ed = make_threshold_edit(box, QStringLiteral("ed_") + key, layout->initial_threshold, layout->edit_left,
                                         top - field_raise);
            row.lb =
                make_label(box, QStringLiteral("lb_") + key, qstring_from_cp1252(channel.unit), layout->unit_left, top);
            // Typing a text changes the selection too: it may select no item.
            connect(row.cbb, &QComboBox::currentTextChanged, this, &TFacquisition_sequence::setup_display_conditions);
        }
        top += row_spacing;
    }
}

void TFacquisition_sequence::build_actions()
{
    gb_actions = make_tab_group_box(TabSheet5, "gb_actions", "Conditional actions", 97);
    cb_s_sms = make_row_check_box(gb_actions, QStringLiteral("cb_s_sms"), QStringLiteral("Send SMS if threshold pass"),
                                  16, 16, 208);
    const QString change_caption = QStringLiteral("Change digital outputs if threshold pass");
    cb_s_out = make_row_check_box(gb_actions, QStringLiteral("cb_s_out"), change_caption, 16, 40, 212);
    cb_s2_out = make_row_check_box(gb_actions, QStringLiteral("cb_s2_out"), change_caption, 16, 64, 212);

    // Row by row, then the captions: the order Tab visits the combo boxes.
    for (int change = 0; change < 2; ++change) {
        for (const OutputColumn& column : output_columns) {
            QComboBox* combo = make_choice(gb_actions, latin(column.combo_names[change]), output_items,
                                           column.combo_left, output_row_tops[change], 65);
            combo->setCurrentIndex(output_keep);
            this->*column.combos[change] = combo;
        }
    }
    for (const OutputColumn& column : output_columns) {
        this->*column.caption =
            make_label(gb_actions, latin(column.caption_name), latin(column.caption_text), column.caption_left, 24);
    }
}

void TFacquisition_sequence::execute(TiXmlElement* sequence, bool with_thresholds, const char* caption)
{
    if (sequence == nullptr) {
        return;
    }
    title.printf("%s", caption != nullptr ? caption : "");
    show_thresholds = with_thresholds;
    setWindowTitle(qstring_from_cp1252(title.c_str()));

    xml_clear(sequence_copy.get());
    xml_copy(sequence_copy.get(), sequence);
    load_sequence();

    if (exec_showing_starts(this) == QDialog::Accepted) {
        store_sequence();
        // The element keeps its name and its place among the station's sequences.
        xml_clear(sequence);
        xml_copy(sequence, sequence_copy.get());
    }
}

void TFacquisition_sequence::reset_controls()
{
    SequenceChoices choices;
    choices.vbat_threshold = typed_text(ed_vbat_threshold);
    reset_choices(choices);
    show_choices(choices);
}

void TFacquisition_sequence::load_sequence()
{
    reset_controls();
    // The reading rules start from the reset controls: an ACQ_VBAT without
    // threshold leaves the end-of-life text as it was.
    SequenceChoices choices = choices_from_controls();
    read_sequence(sequence_copy.get(), choices);
    show_choices(choices);
    setup_display_conditions();
}

void TFacquisition_sequence::show_choices(const SequenceChoices& choices)
{
    cb_vbat->setChecked(choices.vbat);
    cb_vbat_eol->setChecked(choices.vbat_eol);
    show_text(ed_vbat_threshold, choices.vbat_threshold);
    for (size_t index = 0; index < channel_rows.size() && index < choices.channels.size(); ++index) {
        load_channel(choices.channels[index], channel_rows[index]);
    }
    cb_s_sms->setChecked(choices.sms);
    show_output_masks(choices.out1, cb_s_out, first_outputs());
    show_output_masks(choices.out2, cb_s2_out, second_outputs());
}

void TFacquisition_sequence::load_channel(const ChannelChoice& choice, const ChannelRow& row)
{
    row.cb->setChecked(choice.selected);
    if (row.ed != nullptr) {
        show_text(row.ed, choice.threshold);
    }
    if (row.cbb != nullptr) {
        row.cbb->setCurrentIndex(choice.comparison);
    }
}

void TFacquisition_sequence::show_output_masks(const OutputChange& change, QCheckBox* switch_box,
                                               const OutputRow& outputs)
{
    switch_box->setChecked(change.on);
    // The row shows S3 first; the settings are indexed by output number.
    for (int column = 0; column < 4; ++column) {
        outputs[column]->setCurrentIndex(change.outputs[3 - column]);
    }
}

void TFacquisition_sequence::store_sequence()
{
    rebuild_sequence(sequence_copy.get(), choices_from_controls());
}

// Hidden and disabled controls count like the others, so a sequence edited
// without thresholds keeps the thresholds and actions it was loaded with.
SequenceChoices TFacquisition_sequence::choices_from_controls() const
{
    SequenceChoices choices;
    choices.vbat = cb_vbat->isChecked();
    choices.vbat_eol = cb_vbat_eol->isChecked();
    choices.vbat_threshold = typed_text(ed_vbat_threshold);
    for (size_t index = 0; index < channel_rows.size() && index < choices.channels.size(); ++index) {
        choices.channels[index] = store_channel(channel_rows[index]);
    }
    choices.sms = cb_s_sms->isChecked();
    choices.out1 = output_masks(cb_s_out, first_outputs());
    choices.out2 = output_masks(cb_s2_out, second_outputs());
    return choices;
}

ChannelChoice TFacquisition_sequence::store_channel(const ChannelRow& row) const
{
    ChannelChoice choice;
    choice.selected = row.cb->isChecked();
    if (row.cbb != nullptr && row.ed != nullptr) {
        choice.comparison = chosen_value(row.cbb, compare_lt, compare_none);
        choice.threshold = typed_text(row.ed);
    }
    return choice;
}

OutputChange TFacquisition_sequence::output_masks(QCheckBox* switch_box, const OutputRow& outputs) const
{
    OutputChange change;
    change.on = switch_box->isChecked();
    for (int column = 0; column < 4; ++column) {
        change.outputs[3 - column] = chosen_value(outputs[column], output_keep, output_keep);
    }
    return change;
}

void TFacquisition_sequence::setup_display_conditions()
{
    // Tab by tab; a threshold edit is enabled only while its comparison box
    // is enabled and names a comparison.
    cb_vbat_eol->setEnabled(cb_vbat->isChecked());
    ed_vbat_threshold->setEnabled(cb_vbat_eol->isChecked() && cb_vbat->isChecked());
    cb_vbat_eol->setVisible(show_thresholds);
    ed_vbat_threshold->setVisible(show_thresholds);
    lb_vbat->setVisible(show_thresholds);

    for (const ChannelRow& row : channel_rows) {
        if (row.cbb == nullptr) {
            continue;
        }
        const bool comparison_enabled = row.cb->isChecked();
        row.cbb->setEnabled(comparison_enabled);
        row.ed->setEnabled(comparison_enabled && chosen_item(row.cbb) > 0);
        row.cbb->setVisible(show_thresholds);
        row.ed->setVisible(show_thresholds);
        row.lb->setVisible(show_thresholds);
    }

    for (QComboBox* combo : first_outputs()) {
        combo->setEnabled(cb_s_out->isChecked());
    }
    for (QComboBox* combo : second_outputs()) {
        combo->setEnabled(cb_s2_out->isChecked());
    }
    gb_actions->setVisible(show_thresholds);
}

void edit_sequence(TiXmlElement* sequence, bool show_thresholds, const char* caption)
{
    if (Facquisition_sequence != nullptr) {
        Facquisition_sequence->execute(sequence, show_thresholds, caption);
    }
}
