#include "station/edit_nuxo1f.h"

#include <QComboBox>
#include <QFontInfo>
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
#include "widgets/key_preview.h"

TFedit* Fedit = nullptr;

namespace {

const int edit_height = 21;
const int button_height = 25;
// Captions sit a little lower than the edit box they name, so their text
// lines up with the text inside the box.
const int caption_drop = 4;
// Room left between a right-aligned caption and its box.
const int caption_gap = 6;

const QColor sequence_box_colour(227, 223, 217);

QLabel* add_label(QWidget* parent, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A caption that must end before `right_limit`, where its box starts. The
// layout was drawn for a narrow dialog font; with a wider one the caption
// is set a pixel smaller rather than run into the box.
QLabel* add_label_before(QWidget* parent, const char* text, int left, int top, int right_limit)
{
    QLabel* label = add_label(parent, text, left, top);
    const int smallest_pixel_size = 9;
    QFont font = label->font();
    int pixel_size = QFontInfo(font).pixelSize();
    while (left + label->width() > right_limit - caption_gap && pixel_size > smallest_pixel_size) {
        font.setPixelSize(--pixel_size);
        label->setFont(font);
        label->adjustSize();
    }
    return label;
}

// A caption that ends just left of the box starting at `box_left`.
QLabel* add_caption_before(QWidget* parent, const char* text, int box_left, int box_top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->adjustSize();
    const int left = 8;
    label->setGeometry(left, box_top + caption_drop, box_left - caption_gap - left, label->height());
    return label;
}

QLineEdit* add_edit(QWidget* parent, const char* name, int left, int top, int width)
{
    return make_edit(parent, QString::fromLatin1(name), QRect(left, top, width, edit_height));
}

QPushButton* add_button(QWidget* parent, const char* name, const char* caption, int left, int top, int width)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, button_height);
    // No button of this dialog answers the Enter key on its own.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QFrame* add_line(QWidget* parent, QFrame::Shape shape, const QRect& geometry)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
    return line;
}

QGroupBox* add_group_box(QWidget* parent, const char* name, const char* title, const QRect& geometry)
{
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

void paint_background(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

namespace {

// The box that shows each of the station's values.
const struct {
    QLineEdit* TFedit::*edit;
    StationFieldId field;
} field_edits[] = {
    {&TFedit::ed_ID, field_id},
    {&TFedit::ed_description, field_description},
    {&TFedit::ed_phone_nbr, field_phone_nbr},
    {&TFedit::ed_pin, field_pin},
    {&TFedit::ed_http_host, field_http_host},
    {&TFedit::ed_http_host_port, field_http_port},
    {&TFedit::ed_http_url, field_http_url},
    {&TFedit::ed_username, field_username},
    {&TFedit::ed_password, field_password},
    {&TFedit::ed_apn_name, field_apn_name},
    {&TFedit::ed_apn_username, field_apn_username},
    {&TFedit::ed_apn_password, field_apn_password},
    {&TFedit::ed_sms, field_sms_number},
    {&TFedit::ed_sms_text_acq, field_sms_text_acq},
    {&TFedit::ed_sms_text_eol, field_sms_text_eol},
    {&TFedit::ed_acq_interval0, field_acq_interval0},
    {&TFedit::ed_acq_interval1, field_acq_interval1},
    {&TFedit::ed_gsm_interval, field_gsm_interval},
    {&TFedit::ed_gsm_duration, field_gsm_duration},
    {&TFedit::ed_gsm_sms_duration, field_gsm_sms_duration},
};

}  // namespace

TFedit::TFedit(QWidget* parent) : QDialog(parent), station_copy(xml_add_child(nullptr, "STATION"))
{
    Fedit = this;
    setObjectName(QStringLiteral("Fedit"));
    setWindowTitle(QStringLiteral("NUXO configuration Editor"));
    setFixedSize(577, 551);
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

    Button1 = add_button(this, "Button1", "OK", 144, 520, 89);
    Button2 = add_button(this, "Button2", "Cancel", 320, 520, 89);
    connect(Button1, &QPushButton::clicked, this, &TFedit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFedit::Button2Click);
    connect(Button7, &QPushButton::clicked, this, &TFedit::Button7Click);
    connect(Button3, &QPushButton::clicked, this, &TFedit::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFedit::Button4Click);
    // Typing into the mode box counts as a change too: a text that names no
    // mode leaves the switches alone.
    connect(cb_gsm_mode, &QComboBox::currentTextChanged, this, &TFedit::setup_display_conditions);

    new KeyPreview(this, [this](int key) { return FormKeyDown(key); });
}

TFedit::~TFedit()
{
    if (Fedit == this) {
        Fedit = nullptr;
    }
}

void TFedit::build_general_tab()
{
    // "&&" shows one ampersand: a single one would mark a keyboard mnemonic.
    GroupBox1 = add_group_box(TabSheet1, "GroupBox1", "Identification && Communication", QRect(8, 8, 553, 417));
    const int hint_left = 248;

    add_label(GroupBox1, "NUXO ID", 24, 37 + caption_drop);
    ed_ID = add_edit(GroupBox1, "ed_ID", 112, 37, 121);
    add_label(GroupBox1, "NUXO Serial number", hint_left, 37 + caption_drop);

    add_label(GroupBox1, "Phone Number", 24, 77 + caption_drop);
    ed_phone_nbr = add_edit(GroupBox1, "ed_phone_nbr", 112, 77, 121);
    add_label(GroupBox1, "Phone number to call the station (SIM number)", hint_left, 77 + caption_drop);

    add_label(GroupBox1, "PIN code", 24, 117 + caption_drop);
    ed_pin = add_edit(GroupBox1, "ed_pin", 112, 117, 121);
    add_label(GroupBox1, "PIN code of the SIM card in the module", hint_left, 117 + caption_drop);

    add_label(GroupBox1, "Description", 24, 157 + caption_drop);
    ed_description = add_edit(GroupBox1, "ed_description", 112, 157, 433);
    add_label(GroupBox1, "Free text that describes the station", 256, 188);
}

void TFedit::build_gsm_tab()
{
    GroupBox2 = add_group_box(TabSheet2, "GroupBox2", "GSM", QRect(8, 8, 553, 465));
    const int line_left = 2;
    const int line_width = 549;
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 48, line_width, 2));
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 152, line_width, 2));
    add_line(GroupBox2, QFrame::HLine, QRect(line_left, 376, line_width, 2));

    // Band 1: the mode.
    add_label(GroupBox2, "GSM Mode", 16, 24);
    QStringList modes;
    for (const char* name : gsm_mode_names) {
        modes << QString::fromLatin1(name);
    }
    cb_gsm_mode = make_combo_box(GroupBox2, QStringLiteral("cb_gsm_mode"), modes, QRect(272, 16, 145, edit_height));
    // A typed text stays as typed; completing it to an item would choose a
    // mode the operator did not name.
    cb_gsm_mode->setCompleter(nullptr);
    cb_gsm_mode->setCurrentIndex(gsm_mode_disabled);

    // Band 2: the HTTP server on the left, the GPRS access point on the right.
    add_line(GroupBox2, QFrame::VLine, QRect(279, 50, 2, 102));
    add_label(GroupBox2, "HTTP HOST", 16, 53 + caption_drop);
    ed_http_host = add_edit(GroupBox2, "ed_http_host", 104, 53, 129);
    ed_http_host_port = add_edit(GroupBox2, "ed_http_host_port", 240, 53, 33);
    add_label(GroupBox2, "HTTP URL", 16, 77 + caption_drop);
    ed_http_url = add_edit(GroupBox2, "ed_http_url", 104, 77, 169);
    add_label(GroupBox2, "USERNAME", 16, 101 + caption_drop);
    ed_username = add_edit(GroupBox2, "ed_username", 104, 101, 65);
    add_label(GroupBox2, "PASSWORD", 16, 125 + caption_drop);
    ed_password = add_edit(GroupBox2, "ed_password", 104, 125, 65);

    add_label(GroupBox2, "APN NAME", 288, 53 + caption_drop);
    ed_apn_name = add_edit(GroupBox2, "ed_apn_name", 376, 53, 129);
    add_label(GroupBox2, "APN Username", 288, 77 + caption_drop);
    ed_apn_username = add_edit(GroupBox2, "ed_apn_username", 376, 77, 57);
    add_label(GroupBox2, "APN Password", 288, 101 + caption_drop);
    ed_apn_password = add_edit(GroupBox2, "ed_apn_password", 376, 101, 57);

    // Band 3: when the module is switched on, with the picture that explains it.
    struct TimingRow {
        QLineEdit** edit;
        const char* name;
        const char* caption;
        int top;
        const char* unit;
        const char* element;
    };
    const TimingRow timing_rows[] = {
        {&ed_gsm_interval, "ed_gsm_interval", "Interval between two GSM switch on", 157, "hours", "GSM_INTERVAL"},
        {&ed_gsm_duration, "ed_gsm_duration", "GSM power On duration", 181, "minutes", "GSM_DURATION"},
        {&ed_gsm_sms_duration, "ed_gsm_sms_duration", "GSM power On duration in case of alarm", 205, "minutes",
         "GSM_SMS_DURATION"},
    };
    for (const TimingRow& row : timing_rows) {
        add_caption_before(GroupBox2, row.caption, 272, row.top);
        *row.edit = add_edit(GroupBox2, row.name, 272, row.top, 41);
        add_label(GroupBox2, row.unit, 320, row.top + caption_drop);
        add_label(GroupBox2, row.element, 384, row.top + caption_drop);
    }
    Image1 = new QLabel(GroupBox2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(104, 232, 353, 137);
    Image1->setPixmap(draw_gsm_timing_picture(353, 137, font()));

    // Band 4: the SMS alarms.
    add_caption_before(GroupBox2, "Phone number where to send the SMS", 272, 389);
    ed_sms = add_edit(GroupBox2, "ed_sms", 272, 389, 81);
    add_caption_before(GroupBox2, "SMS message in case of threshold passing", 272, 413);
    ed_sms_text_acq = add_edit(GroupBox2, "ed_sms_text_acq", 272, 413, 97);
    add_caption_before(GroupBox2, "SMS message in case of low battery", 272, 437);
    ed_sms_text_eol = add_edit(GroupBox2, "ed_sms_text_eol", 272, 437, 97);
}

void TFedit::build_acquisitions_tab()
{
    GroupBox3 = add_group_box(TabSheet3, "GroupBox3", "Slow Sequence ", QRect(8, 8, 553, 97));
    paint_background(GroupBox3, sequence_box_colour);
    add_label_before(GroupBox3, "Interval between two acquisition in slow mode", 16, 24, 272);
    ed_acq_interval0 = add_edit(GroupBox3, "ed_acq_interval0", 272, 21, 41);
    add_label(GroupBox3, "minutes", 320, 21 + caption_drop);
    add_label(GroupBox3, "ACQ Interval #0", 384, 21 + caption_drop);
    Button7 = add_button(GroupBox3, "Button7", "Slow sequence configuration", 272, 56, 177);

    GroupBox4 = add_group_box(TabSheet3, "GroupBox4", "Fast Sequence ", QRect(8, 112, 553, 97));
    add_label_before(GroupBox4, "Interval between two acquisition in fast mode", 16, 28, 272);
    ed_acq_interval1 = add_edit(GroupBox4, "ed_acq_interval1", 272, 20, 41);
    add_label(GroupBox4, "minutes", 320, 20 + caption_drop);
    add_label(GroupBox4, "ACQ Interval #1", 384, 20 + caption_drop);
    Button3 = add_button(GroupBox4, "Button3", "Fast sequence configuration", 272, 56, 177);

    GroupBox5 = add_group_box(TabSheet3, "GroupBox5", "Health Sequence ", QRect(8, 224, 553, 97));
    paint_background(GroupBox5, sequence_box_colour);
    Button4 = add_button(GroupBox5, "Button4", "Health sequence configuration", 272, 40, 177);
}

bool TFedit::edit_station(TiXmlElement* station)
{
    if (station == nullptr) {
        return false;
    }
    xml_clear(station_copy.get());
    xml_copy(station_copy.get(), station);
    const StationParts parts = complete_station_defaults(station_copy.get());
    cfg_parameters = parts.cfg_parameters;
    cfg_sequences = parts.cfg_sequences;
    seq_slow = parts.seq_slow;
    seq_fast = parts.seq_fast;
    seq_health = parts.seq_health;

    load_controls();
    PageControl1->setCurrentIndex(0);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    store_controls();
    xml_clear(station);
    xml_copy(station, station_copy.get());
    return true;
}

const char* TFedit::get_parameter(const char* element_name, const char* attribute) const
{
    return parameter_text(cfg_parameters, element_name, attribute);
}

void TFedit::set_parameter(const char* element_name, const char* attribute, const char* text)
{
    set_parameter_text(cfg_parameters, element_name, attribute, text);
}

StationParts TFedit::parts() const
{
    StationParts parts;
    parts.cfg_parameters = cfg_parameters;
    parts.cfg_sequences = cfg_sequences;
    parts.seq_slow = seq_slow;
    parts.seq_fast = seq_fast;
    parts.seq_health = seq_health;
    return parts;
}

void TFedit::load_controls()
{
    // Every box is filled, the PIN too: an earlier station's PIN left in
    // its box would be stored into this one.
    const StationValues values = load_station_values(station_copy.get(), parts());
    for (const auto& row : field_edits) {
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

void TFedit::store_controls()
{
    // Boxes disabled by the mode are stored too, so switching a station to
    // another mode and back loses none of its settings.
    StationValues values;
    for (const auto& row : field_edits) {
        values.text[row.field] = typed_text(this->*row.edit);
    }
    values.flags.gsm_enabled = gsm_enabled_flag;
    values.flags.gsm_call = gsm_call_flag;
    values.flags.gprs = gprs_flag;
    store_station_values(station_copy.get(), parts(), values);
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

    const bool timing = gsm_timing_editable(flags);
    for (QLineEdit* edit :
         {ed_sms, ed_gsm_interval, ed_gsm_duration, ed_gsm_sms_duration, ed_sms_text_acq, ed_sms_text_eol}) {
        edit->setEnabled(timing);
    }
    const bool gprs = gprs_settings_editable(mode);
    for (QLineEdit* edit : {ed_http_host, ed_http_url, ed_http_host_port, ed_username, ed_password, ed_apn_name,
                            ed_apn_username, ed_apn_password}) {
        edit->setEnabled(gprs);
    }
}

void TFedit::Button1Click()
{
    accept();
}

void TFedit::Button2Click()
{
    reject();
}

// The sequence dialog edits the sequence inside the working copy; it reaches
// the document only if this dialog is then closed with OK.
void TFedit::Button7Click()
{
    edit_sequence(seq_slow, true, "Slow sequence");
}

void TFedit::Button3Click()
{
    edit_sequence(seq_fast, true, "Fast sequence");
}

void TFedit::Button4Click()
{
    edit_sequence(seq_health, false, "Health sequence");
}

bool TFedit::FormKeyDown(int key)
{
    if (key == Qt::Key_Escape) {
        Button2Click();
        return true;
    }
    return false;
}
