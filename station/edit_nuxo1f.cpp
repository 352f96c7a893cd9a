#include "station/edit_nuxo1f.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "doc/Lib_xml.h"
#include "sequence/acquisition_sequence.h"
#include "station/edit_gsm_timing_picture.h"
#include "station/station_record.h"
#include "station/station_settings.h"
#include "station/station_values.h"
#include "widgets/cp1252_text.h"
#include "widgets/form.h"
#include "widgets/window_place.h"

TFedit* Fedit = nullptr;

namespace {

const int button_height = 25;
// Captions sit a little lower than the edit box they name, so their text
// lines up with the text inside the box.
const int caption_drop = 4;
// Room left between a caption and the box it names.
const int caption_gap = 6;
// Right-aligned captions start at this left and end just before their box.
const int aligned_caption_left = 8;

// When a box can be edited: always, while the GSM module is switched on,
// or only when the station pushes its data over GPRS.
enum class Needs { nothing, gsm_on, gprs_push };

// Where a box's caption stands: at its own place, right-aligned just before
// the box, or nowhere (the port stands beside its host).
enum class Caption { placed, before_box, none };

// A text beside a box: a hint, a unit, the name of the element it edits.
struct Note {
    const char* text;
    int left;
    int top;
};

// One row per box of the dialog, in the order the boxes are built (which
// is the order Tab visits them): the station value it shows, its group and
// place, its caption (the value's label) and the notes beside it. The same
// rows fill the boxes, store them and enable them.
struct BoxRow {
    QLineEdit* TFedit::*edit;
    const char* name;
    StationFieldId field;
    QGroupBox* TFedit::*group;
    QRect box;
    Caption caption;
    QPoint caption_at;
    Note notes[2];
    Needs needs;
};

// clang-format off
const BoxRow box_rows[] = {
    // "General": the station's identity
    {&TFedit::ed_ID,               "ed_ID",               field_id,               &TFedit::GroupBox1, {112, 37, 121, field_height},  Caption::placed,     {24, 41},   {{"NUXO Serial number", 248, 41}, {}},                            Needs::nothing},
    {&TFedit::ed_phone_nbr,        "ed_phone_nbr",        field_phone_nbr,        &TFedit::GroupBox1, {112, 77, 121, field_height},  Caption::placed,     {24, 81},   {{"Phone number to call the station (SIM number)", 248, 81}, {}}, Needs::nothing},
    {&TFedit::ed_pin,              "ed_pin",              field_pin,              &TFedit::GroupBox1, {112, 117, 121, field_height}, Caption::placed,     {24, 121},  {{"PIN code of the SIM card in the module", 248, 121}, {}},       Needs::nothing},
    {&TFedit::ed_description,      "ed_description",      field_description,      &TFedit::GroupBox1, {112, 157, 433, field_height}, Caption::placed,     {24, 161},  {{"Free text that describes the station", 256, 188}, {}},         Needs::nothing},
    // "GSM timing": the HTTP server, then the GPRS access point
    {&TFedit::ed_http_host,        "ed_http_host",        field_http_host,        &TFedit::GroupBox2, {104, 53, 129, field_height},  Caption::placed,     {16, 57},   {},                                                               Needs::gprs_push},
    {&TFedit::ed_http_host_port,   "ed_http_host_port",   field_http_port,        &TFedit::GroupBox2, {240, 53, 33, field_height},   Caption::none,       {},         {},                                                               Needs::gprs_push},
    {&TFedit::ed_http_url,         "ed_http_url",         field_http_url,         &TFedit::GroupBox2, {104, 77, 169, field_height},  Caption::placed,     {16, 81},   {},                                                               Needs::gprs_push},
    {&TFedit::ed_username,         "ed_username",         field_username,         &TFedit::GroupBox2, {104, 101, 65, field_height},  Caption::placed,     {16, 105},  {},                                                               Needs::gprs_push},
    {&TFedit::ed_password,         "ed_password",         field_password,         &TFedit::GroupBox2, {104, 125, 65, field_height},  Caption::placed,     {16, 129},  {},                                                               Needs::gprs_push},
    {&TFedit::ed_apn_name,         "ed_apn_name",         field_apn_name,         &TFedit::GroupBox2, {376, 53, 129, field_height},  Caption::placed,     {288, 57},  {},                                                               Needs::gprs_push},
    {&TFedit::ed_apn_username,     "ed_apn_username",     field_apn_username,     &TFedit::GroupBox2, {376, 77, 57, field_height},   Caption::placed,     {288, 81},  {},                                                               Needs::gprs_push},
    {&TFedit::ed_apn_password,     "ed_apn_password",     field_apn_password,     &TFedit::GroupBox2, {376, 101, 57, field_height},  Caption::placed,     {288, 105}, {},                                                               Needs::gprs_push},
    // "GSM timing": when the module is switched on
    {&TFedit::ed_gsm_interval,     "ed_gsm_interval",     field_gsm_interval,     &TFedit::GroupBox2, {272, 157, 41, field_height},  Caption::before_box, {},         {{"hours", 320, 161}, {"GSM_INTERVAL", 384, 161}},                Needs::gsm_on},
    {&TFedit::ed_gsm_duration,     "ed_gsm_duration",     field_gsm_duration,     &TFedit::GroupBox2, {272, 181, 41, field_height},  Caption::before_box, {},         {{"minutes", 320, 185}, {"GSM_DURATION", 384, 185}},              Needs::gsm_on},
    {&TFedit::ed_gsm_sms_duration, "ed_gsm_sms_duration", field_gsm_sms_duration, &TFedit::GroupBox2, {272, 205, 41, field_height},  Caption::before_box, {},         {{"minutes", 320, 209}, {"GSM_SMS_DURATION", 384, 209}},          Needs::gsm_on},
    // "GSM timing": the SMS alarms
    {&TFedit::ed_sms,              "ed_sms",              field_sms_number,       &TFedit::GroupBox2, {272, 389, 81, field_height},  Caption::before_box, {},         {},                                                               Needs::gsm_on},
    {&TFedit::ed_sms_text_acq,     "ed_sms_text_acq",     field_sms_text_acq,     &TFedit::GroupBox2, {272, 413, 97, field_height},  Caption::before_box, {},         {},                                                               Needs::gsm_on},
    {&TFedit::ed_sms_text_eol,     "ed_sms_text_eol",     field_sms_text_eol,     &TFedit::GroupBox2, {272, 437, 97, field_height},  Caption::before_box, {},         {},                                                               Needs::gsm_on},
    // "Acquisitions"
    {&TFedit::ed_acq_interval0,    "ed_acq_interval0",    field_acq_interval0,    &TFedit::GroupBox3, {272, 21, 41, field_height},   Caption::placed,     {16, 24},   {{"minutes", 320, 25}, {"ACQ Interval #0", 384, 25}},             Needs::nothing},
    {&TFedit::ed_acq_interval1,    "ed_acq_interval1",    field_acq_interval1,    &TFedit::GroupBox4, {272, 20, 41, field_height},   Caption::placed,     {16, 28},   {{"minutes", 320, 24}, {"ACQ Interval #1", 384, 24}},             Needs::nothing},
};
// clang-format on

QFrame* add_line(QWidget* parent, QFrame::Shape shape, const QRect& geometry)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
    return line;
}

}  // namespace

TFedit::TFedit(QWidget* parent)
    : EditorDialog(parent), station_copy(xml_add_child(nullptr, "STATION")), instance(Fedit, this)
{
    setObjectName(QStringLiteral("Fedit"));
    setWindowTitle(QStringLiteral("NUXO configuration Editor"));
    setFixedSize(577, 551);
    fix_frame_buttons(this);
    place_window_frame(this, 160, 99);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 577, 513);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("General"));
    PageControl1->addTab(TabSheet2, QStringLiteral("GSM timing"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Acquisitions"));

    build_general_tab();
    build_gsm_tab();
    build_acquisitions_tab();
    // One font on the three tabs: a caption that does not fit is condensed,
    // and every other caption of the dialog with it.
    condense_to_fit(captions_in(PageControl1));

    build_ok_cancel(QPoint(144, 520), QPoint(320, 520));
    connect(Button7, &QPushButton::clicked, this, &TFedit::Button7Click);
    connect(Button3, &QPushButton::clicked, this, &TFedit::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFedit::Button4Click);
    // Typing into the mode box counts as a change too: a text that names no
    // mode leaves the switches alone.
    connect(cb_gsm_mode, &QComboBox::currentTextChanged, this, &TFedit::setup_display_conditions);

    preview_keys();
}

void TFedit::build_rows(QGroupBox* TFedit::*group, int first_top, int end_top)
{
    QGroupBox* parent = this->*group;
    for (const BoxRow& row : box_rows) {
        if (row.group != group || row.box.top() < first_top || row.box.top() >= end_top) {
            continue;
        }
        const QString caption = latin(station_fields[row.field].label);
        const int room_right = row.box.left() - caption_gap;
        if (row.caption == Caption::placed) {
            const QRect room(row.caption_at.x(), row.caption_at.y(), room_right - row.caption_at.x(), 0);
            make_label_in(parent, caption, room, false);
        } else if (row.caption == Caption::before_box) {
            const QRect room(aligned_caption_left, row.box.top() + caption_drop, room_right - aligned_caption_left, 0);
            make_label_in(parent, caption, room, true);
        }
        this->*row.edit = make_edit(parent, latin(row.name), row.box);
        for (const Note& note : row.notes) {
            if (note.text != nullptr) {
                make_label(parent, QString(), latin(note.text), note.left, note.top);
            }
        }
    }
}

void TFedit::build_general_tab()
{
    // "&&" shows one ampersand: a single one would mark a keyboard mnemonic.
    GroupBox1 = make_group_box(TabSheet1, QStringLiteral("GroupBox1"),
                               QStringLiteral("Identification && Communication"), QRect(8, 8, 553, 417));
    build_rows(&TFedit::GroupBox1);
}

void TFedit::build_gsm_tab()
{
    GroupBox2 = make_group_box(TabSheet2, QStringLiteral("GroupBox2"), QStringLiteral("GSM"), QRect(8, 8, 553, 465));
    const int line_left = 2;
    const int line_width = 549;
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 48, line_width, 2));
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 152, line_width, 2));
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 376, line_width, 2));

    // Band 1: the mode.
    make_label(GroupBox2, QString(), QStringLiteral("GSM Mode"), 16, 24);
    QStringList modes;
    for (const char* name : gsm_mode_names) {
        modes << latin(name);
    }
    cb_gsm_mode = make_combo_box(GroupBox2, QStringLiteral("cb_gsm_mode"), modes, QRect(272, 16, 145, field_height));
    // A typed text stays as typed; completing it to an item would choose a
    // mode the operator did not name.
    cb_gsm_mode->setCompleter(nullptr);
    cb_gsm_mode->setCurrentIndex(gsm_mode_disabled);

    // Band 2, the HTTP server on the left and the GPRS access point on the
    // right, and band 3, when the module is switched on, with the picture
    // that explains it.
    add_line(GroupBox2, QFrame::VLine, QRect(279, 50, 2, 102));
    const int sms_band_top = 376;
    build_rows(&TFedit::GroupBox2, 0, sms_band_top);
    Image1 = new QLabel(GroupBox2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(104, 232, 353, 137);
    Image1->setPixmap(draw_gsm_timing_picture(353, 137, font()));
    // Band 4: the SMS alarms.
    build_rows(&TFedit::GroupBox2, sms_band_top);
}

void TFedit::build_acquisitions_tab()
{
    GroupBox3 = make_group_box(TabSheet3, QStringLiteral("GroupBox3"), QStringLiteral("Slow Sequence "),
                               QRect(8, 8, 553, 97), true);
    build_rows(&TFedit::GroupBox3);
    Button7 = make_button(GroupBox3, QStringLiteral("Button7"), QStringLiteral("Slow sequence configuration"),
                          QRect(272, 56, 177, button_height));

    GroupBox4 = make_group_box(TabSheet3, QStringLiteral("GroupBox4"), QStringLiteral("Fast Sequence "),
                               QRect(8, 112, 553, 97));
    build_rows(&TFedit::GroupBox4);
    Button3 = make_button(GroupBox4, QStringLiteral("Button3"), QStringLiteral("Fast sequence configuration"),
                          QRect(272, 56, 177, button_height));

    GroupBox5 = make_group_box(TabSheet3, QStringLiteral("GroupBox5"), QStringLiteral("Health Sequence "),
                               QRect(8, 224, 553, 97), true);
    Button4 = make_button(GroupBox5, QStringLiteral("Button4"), QStringLiteral("Health sequence configuration"),
                          QRect(272, 40, 177, button_height));
}

bool TFedit::edit_station(TiXmlElement* station)
{
    if (station == nullptr) {
        return false;
    }
    return edit_station_copy(station, station_copy.get(), [this](const StationParts& opened, StationValues& values) {
        parts = opened;
        show_values(values);
        PageControl1->setCurrentIndex(0);
        // Each opening starts on the first box, the station's number.
        ed_ID->setFocus();
        if (exec_showing_starts(this) != QDialog::Accepted) {
            return false;
        }
        values = typed_values();
        return true;
    });
}

void TFedit::show_values(const StationValues& values)
{
    // Every box is filled, the PIN too: an earlier station's PIN left in
    // its box would be stored into this one.
    for (const BoxRow& row : box_rows) {
        show_text(this->*row.edit, values.text[row.field]);
    }
    gsm_enabled_flag = values.flags.gsm_enabled;
    gsm_call_flag = values.flags.gsm_call;
    gprs_flag = values.flags.gprs;
    {
        // Showing the stored mode is no choice of the operator's.
        const QSignalBlocker quiet(cb_gsm_mode);
        cb_gsm_mode->setCurrentIndex(gsm_mode_from_flags(values.flags));
    }
    setup_display_conditions();
}

StationValues TFedit::typed_values() const
{
    // Boxes disabled by the mode are stored too, so switching a station to
    // another mode and back loses none of its settings.
    StationValues values;
    for (const BoxRow& row : box_rows) {
        values.text[row.field] = typed_text(this->*row.edit);
    }
    values.flags.gsm_enabled = gsm_enabled_flag;
    values.flags.gsm_call = gsm_call_flag;
    values.flags.gprs = gprs_flag;
    return values;
}

void TFedit::setup_display_conditions()
{
    const GsmMode mode = gsm_mode_from_text(cp1252_from_qstring(cb_gsm_mode->currentText()));
    GsmFlags flags;
    flags.gsm_enabled = gsm_enabled_flag;
    flags.gsm_call = gsm_call_flag;
    flags.gprs = gprs_flag;
    apply_gsm_mode(mode, flags);
    gsm_enabled_flag = flags.gsm_enabled;
    gsm_call_flag = flags.gsm_call;
    gprs_flag = flags.gprs;

    for (const BoxRow& row : box_rows) {
        const bool editable = row.needs == Needs::gsm_on      ? gsm_timing_editable(flags)
                              : row.needs == Needs::gprs_push ? gprs_settings_editable(mode)
                                                              : true;
        (this->*row.edit)->setEnabled(editable);
    }
}

// The sequence dialog edits the sequence inside the working copy; it reaches
// the document only if this dialog is then closed with OK.
void TFedit::Button7Click()
{
    edit_sequence(parts.sequence(role_slow), true, sequence_roles[role_slow].caption);
}

void TFedit::Button3Click()
{
    edit_sequence(parts.sequence(role_fast), true, sequence_roles[role_fast].caption);
}

void TFedit::Button4Click()
{
    edit_sequence(parts.sequence(role_health), false, sequence_roles[role_health].caption);
}
