// The modal dialog in which the operator edits one station: its identity,
// its GSM mode with the GPRS push parameters, the SMS number and texts, the
// GSM and acquisition timing, and (through the sequence dialog) its Slow,
// Fast and Health acquisition sequences.
//
// The dialog works on a detached copy of the STATION element, completed with
// every missing default, and writes the copy back only when it is closed
// with OK. The rules that decide values live in station/station_settings.h;
// this class only moves texts between the controls and the copy.
#ifndef ZANTOR_STATION_EDIT_NUXO1F_H
#define ZANTOR_STATION_EDIT_NUXO1F_H

#include <tinyxml.h>

#include <memory>

#include "station/station_values.h"
#include "widgets/editor_dialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class TFedit : public EditorDialog {
    Q_OBJECT

public:
    explicit TFedit(QWidget* parent = nullptr);

    // Edits `station` modally. True when the dialog was closed with OK and
    // the station was rewritten (changed or not); false for Cancel, Escape,
    // the close box or no station, and the station is then left untouched.
    bool edit_station(TiXmlElement* station);

    // Fills the boxes and the mode with a station's values.
    void show_values(const StationValues& values);
    // The boxes' texts and the switches as OK stores them.
    StationValues typed_values() const;

    // The working STATION element, detached and owned; refilled at each opening.
    std::unique_ptr<TiXmlElement> station_copy;
    // Pieces of station_copy, valid until the next opening.
    StationParts parts;
    // The SYSCTRL switches gsm_enabled, gsm_call and gprs while the dialog is open.
    bool gsm_enabled_flag = false;
    bool gsm_call_flag = false;
    bool gprs_flag = false;

    QWidget* TabSheet1;  // "General"
    QWidget* TabSheet2;  // "GSM timing"
    QWidget* TabSheet3;  // "Acquisitions"

    // "General"
    QGroupBox* GroupBox1;  // "Identification & Communication"
    QLineEdit* ed_ID;
    QLineEdit* ed_phone_nbr;
    QLineEdit* ed_pin;
    QLineEdit* ed_description;

    // "GSM timing"
    QGroupBox* GroupBox2;  // "GSM"
    QComboBox* cb_gsm_mode;
    QLineEdit* ed_http_host;
    QLineEdit* ed_http_host_port;
    QLineEdit* ed_http_url;
    QLineEdit* ed_username;
    QLineEdit* ed_password;
    QLineEdit* ed_apn_name;
    QLineEdit* ed_apn_username;
    QLineEdit* ed_apn_password;
    QLineEdit* ed_gsm_interval;
    QLineEdit* ed_gsm_duration;
    QLineEdit* ed_gsm_sms_duration;
    QLabel* Image1;  // the picture of the GSM timing
    QLineEdit* ed_sms;
    QLineEdit* ed_sms_text_acq;
    QLineEdit* ed_sms_text_eol;

    // "Acquisitions"
    QGroupBox* GroupBox3;  // "Slow Sequence "
    QGroupBox* GroupBox4;  // "Fast Sequence "
    QGroupBox* GroupBox5;  // "Health Sequence "
    QLineEdit* ed_acq_interval0;
    QLineEdit* ed_acq_interval1;
    QPushButton* Button7;  // "Slow sequence configuration"
    QPushButton* Button3;  // "Fast sequence configuration"
    QPushButton* Button4;  // "Health sequence configuration"

public slots:
    void Button7Click();
    void Button3Click();
    void Button4Click();
    // Turns the chosen GSM mode into the three switches and enables the
    // edits that matter in that mode.
    void setup_display_conditions();

private:
    OneInstance<TFedit> instance;

    // Builds the boxes of `group` in the dialog's row table whose top lies
    // in [first_top, end_top), with their captions and notes: two bands that
    // share a bound never both build the row on it.
    void build_rows(QGroupBox* TFedit::*group, int first_top = 0, int end_top = 1 << 20);
    void build_general_tab();
    void build_gsm_tab();
    void build_acquisitions_tab();
};

// The one instance, created hidden at start-up; null until then.
extern TFedit* Fedit;

#endif
