// The station dialog driven as an operator drives it: typing into its boxes,
// choosing GSM modes, opening the sequences and closing with OK (Button1),
// Cancel (Button2), Escape or the close box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "doc/Lib_xml.h"
#include "station/station_record.h"
#include "support/core_tree.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "widgets/form.h"

namespace {

// A station of the GPRS PUSH kind with every parameter present and some
// values that the dialog rewrites (90 seconds, an id with a letter); its
// sequences come from the defaults.
const char* const pushing_station =
    "<STATION id=\"12A\" phone_nbr=\"33612345678\" pin=\"1111\" description=\"Quay &amp; pier\">"
    "<CONFIGURATION value=\"0\">"
    "<SYSCTRL acq_enabled=\"on\" acq_automatic=\"on\" acq_dump=\"on\" flash_store=\"on\" acq_on_ring=\"off\""
    " acq_fast_interval=\"on\" gsm_enabled=\"ON\" gsm_call=\"On\" gprs=\"oN\" call_on_ring=\"off\" time_zone=\"1\"/>"
    "<HTTP_HOST host=\"push.example\" port=\"8080\"/>"
    "<HTTP_URL value=\"/in.php\"/><USERNAME value=\"u\"/><PASSWORD value=\"p\"/>"
    "<GPRS_APN_USERNAME value=\"au\"/><GPRS_APN_PASSWORD value=\"ap\"/><GPRS_APN_NAME value=\"apn.example\"/>"
    "<ACQ_INTERVAL0 value=\"1200\"/><ACQ_INTERVAL1 value=\"60\"/><GSM_INTERVAL value=\"7200\"/>"
    "<GSM_DURATION value=\"90\"/><GSM_SMS_DURATION value=\"300\"/><SMS_NUMBER value=\"0611111111\"/>"
    "<SMS_TEXT_ACQ value=\"A \"/><SMS_TEXT_EOL value=\"B \"/>"
    "<SYSTEM_CONFIG filter=\"4\" acq_number=\"0\" gsm_number=\"0\"/><PIN_CODE value=\"2222\"/>"
    "</CONFIGURATION></STATION>";

std::string text_of(const TiXmlElement* element)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    element->Accept(&printer);
    return printer.CStr();
}

// A station with only the given switches and parameters; the dialog adds the rest.
std::string station_with(const std::string& parameters)
{
    return "<STATION><CONFIGURATION value=\"0\">" + parameters + "</CONFIGURATION></STATION>";
}

std::string sysctrl(const char* enabled, const char* call, const char* gprs)
{
    return std::string("<SYSCTRL gsm_enabled=\"") + enabled + "\" gsm_call=\"" + call + "\" gprs=\"" + gprs + "\"/>";
}

const char* parameter(TiXmlElement* station, const char* element, const char* attribute = "value")
{
    TiXmlElement* cfg = station->FirstChildElement("CONFIGURATION");
    return xml_get_attr_text(xml_find_path(cfg, element), attribute);
}

// Opens the test's station dialog (Fedit, as the main window reaches it) on
// `station`, lets `operate` work in it (it must close it) and returns what
// edit_station returned.
bool edit(TiXmlElement* station, const std::function<void(TFedit* dialog)>& operate)
{
    bool operated = false;
    when_modal_shown([&](QWidget* modal) {
        EXPECT_EQ(modal, Fedit);
        operated = true;
        operate(Fedit);
        if (Fedit->isVisible()) {
            ADD_FAILURE() << "the operation left the station dialog open";
            Fedit->reject();
        }
    });
    const bool result = Fedit->edit_station(station);
    EXPECT_TRUE(operated) << "the station dialog was not shown";
    return result;
}

// Clicks a sequence button and answers the sequence dialog with `answer`
// (which must close it). Returns the sequence dialog's caption.
QString in_sequence_dialog(QPushButton* button, const std::function<void(QWidget*)>& answer)
{
    QString caption;
    bool shown = false;
    when_modal_shown([&](QWidget* modal) {
        if (modal == Fedit) {
            ADD_FAILURE() << "the sequence dialog did not open";
            return;
        }
        shown = true;
        caption = modal->windowTitle();
        answer(modal);
        if (modal->isVisible()) {
            ADD_FAILURE() << "the answer left the sequence dialog open";
            modal->close();
        }
    });
    click(button);
    EXPECT_TRUE(shown);
    return caption;
}

// In the sequence dialog: stops measuring the battery voltage and presses OK.
void drop_battery_measure(QWidget* modal)
{
    QCheckBox* vbat = child<QCheckBox>(modal, "cb_vbat");
    if (vbat == nullptr) {
        return;
    }
    ASSERT_TRUE(vbat->isChecked());  // every default sequence measures it
    tick(vbat);
    EXPECT_FALSE(vbat->isChecked());
    click(modal, "Button1");
}

// The enabled state of the HTTP/APN edits and of the GSM timing/SMS edits,
// each required to be the same over its whole group.
bool gprs_edits_enabled(TFedit* d)
{
    const bool enabled = d->ed_http_host->isEnabled();
    for (QLineEdit* edit : {d->ed_http_url, d->ed_http_host_port, d->ed_username, d->ed_password, d->ed_apn_name,
                            d->ed_apn_username, d->ed_apn_password}) {
        EXPECT_EQ(edit->isEnabled(), enabled) << edit->objectName().toStdString();
    }
    return enabled;
}

bool timing_edits_enabled(TFedit* d)
{
    const bool enabled = d->ed_sms->isEnabled();
    for (QLineEdit* edit :
         {d->ed_gsm_interval, d->ed_gsm_duration, d->ed_gsm_sms_duration, d->ed_sms_text_acq, d->ed_sms_text_eol}) {
        EXPECT_EQ(edit->isEnabled(), enabled) << edit->objectName().toStdString();
    }
    return enabled;
}

using StationDialog = DialogTest;

// ---- a new station ----

TEST_F(StationDialog, NewStationShowsTheDefaultsAndOkStoresTheCompleteRecord)
{
    ParsedXml station("<STATION/>");
    const bool ok = edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->PageControl1->currentIndex(), 0);
        EXPECT_EQ(d->ed_ID->text(), "100");
        EXPECT_EQ(d->ed_pin->text(), "6852");
        EXPECT_EQ(d->ed_description->text(), "new station");
        EXPECT_EQ(d->ed_gsm_interval->text(), "24");
        EXPECT_EQ(d->ed_gsm_duration->text(), "10");
        EXPECT_EQ(d->ed_gsm_sms_duration->text(), "15");
        EXPECT_EQ(d->ed_acq_interval0->text(), "15");
        EXPECT_EQ(d->ed_acq_interval1->text(), "5");
        EXPECT_EQ(d->ed_sms_text_acq->text(), "ALARM ! NUXO ");
        EXPECT_EQ(d->ed_apn_username->text(), "");
        EXPECT_EQ(d->cb_gsm_mode->currentText(), "GSM DATA");
        EXPECT_TRUE(timing_edits_enabled(d));
        EXPECT_FALSE(gprs_edits_enabled(d));
        click(d->Button1);
    });
    EXPECT_TRUE(ok);

    std::unique_ptr<TiXmlElement> expected(xml_add_child(nullptr, "STATION"));
    complete_station_defaults(expected.get());
    EXPECT_EQ(text_of(station.root), text_of(expected.get()));
}

// ---- closing without OK ----

TEST_F(StationDialog, CancelEscapeAndCloseBoxLeaveTheStationByteIdentical)
{
    const std::function<void(TFedit*)> closers[] = {
        [](TFedit* d) { click(d->Button2); },
        [](TFedit* d) { QTest::keyClick(d->ed_description, Qt::Key_Escape); },
        [](TFedit* d) { QTest::keyClick(d->cb_gsm_mode->lineEdit(), Qt::Key_Escape); },
        [](TFedit* d) { d->close(); },
    };
    for (const char* xml : {"<STATION/>", pushing_station}) {
        for (const auto& close_without_ok : closers) {
            ParsedXml station(xml);
            const std::string before = text_of(station.root);
            const bool ok = edit(station.root, [&](TFedit* d) {
                type_text(d->ed_description, "changed");
                type_text(d->ed_acq_interval0, "7");
                choose_item(d->cb_gsm_mode, "Disabled");
                in_sequence_dialog(d->Button7, drop_battery_measure);
                in_sequence_dialog(d->Button4, drop_battery_measure);
                close_without_ok(d);
            });
            EXPECT_FALSE(ok);
            EXPECT_EQ(text_of(station.root), before);
        }
    }
}

TEST_F(StationDialog, NoStationOpensNothing)
{
    EXPECT_FALSE(station_dialog->edit_station(nullptr));
    EXPECT_FALSE(station_dialog->isVisible());
}

TEST_F(StationDialog, OtherKeysDoNotCloseTheDialog)
{
    ParsedXml station("<STATION/>");
    const bool ok = edit(station.root, [](TFedit* d) {
        QTest::keyClick(d->ed_ID, Qt::Key_Return);
        QTest::keyClick(d->ed_ID, Qt::Key_Enter);
        EXPECT_TRUE(d->isVisible());
        click(d->Button2);
    });
    EXPECT_FALSE(ok);
}

// Return on a focused button did nothing; only the space bar pressed it.
TEST_F(StationDialog, ReturnPressesTheFocusedButton)
{
    const struct {
        const char* button;
        bool stored;
    } closings[] = {{"Button1", true}, {"Button2", false}};
    for (const auto& closing : closings) {
        ParsedXml station("<STATION/>");
        bool sequence_shown = false;
        const bool ok = edit(station.root, [&](TFedit* d) {
            when_modal_shown([&sequence_shown](QWidget* sequence) {
                sequence_shown = sequence != Fedit;
                press_key(sequence, "Button2", Qt::Key_Return);
                EXPECT_FALSE(sequence->isVisible());
            });
            press_key(d->Button7, Qt::Key_Return);
            press_key(d, closing.button, Qt::Key_Enter);
        });
        EXPECT_TRUE(sequence_shown) << closing.button;
        EXPECT_EQ(ok, closing.stored) << closing.button;
    }
}

// Under Wine, Return on "Edit Selected" right after Return had closed the
// Open dialog did nothing: the key's release had gone to the dialog, so the
// next press came marked as a repeat, and repeats were ignored.
TEST_F(StationDialog, ReturnMarkedAsARepeatStillPressesOnceAndAHeldKeyOnce)
{
    QWidget window;
    QPushButton* button = make_button(&window, "button", "Edit Selected", QRect(0, 0, 90, 25));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    auto send = [button](QEvent::Type type, bool repeat) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QString(), repeat);
        QCoreApplication::sendEvent(button, &key);
    };
    send(QEvent::KeyPress, true);
    EXPECT_EQ(clicks, 1) << "a first press marked as a repeat";
    send(QEvent::KeyRelease, false);
    send(QEvent::KeyPress, false);
    for (int repeat = 0; repeat < 3; ++repeat) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(clicks, 2) << "a held key";
}

// Typed into Description, an omega was saved as "?" without a word.
TEST_F(StationDialog, ACharacterWindows1252CannotHoldIsRefusedAsTyped)
{
    ParsedXml station("<STATION/>");
    std::string every_byte;
    for (int byte = 1; byte <= 255; ++byte) {
        every_byte += static_cast<char>(byte);
    }
    xml_set_attr(station.root, "phone_nbr", every_byte.c_str());
    edit(station.root, [](TFedit* d) {
        type_text(d->ed_description, QString::fromUtf8("\u03A9 Quai \u20AC\u00E9 \U0001F600\u4E2D!"));
        EXPECT_EQ(d->ed_description->text(), QString::fromUtf8(" Quai \u20AC\u00E9 !"));
        click(d->Button1);
    });
    EXPECT_STREQ(xml_get_attr(station.root, "description"), " Quai \x80\xE9 !");
    EXPECT_EQ(std::string(xml_get_attr(station.root, "phone_nbr")), every_byte);
}

// The Analog, Fluorimeter and Actions tabs of the sequence dialog, and the
// Acquisitions tab of this one, had a smaller, condensed font.
TEST_F(StationDialog, EveryTabOfBothDialogsShowsOneFontThatFits)
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{Fedit, Facquisition_sequence}) {
        QTabWidget* pages = child<QTabWidget>(dialog, "PageControl1");
        ASSERT_NE(pages, nullptr);
        QList<QWidget*> captions;
        for (QWidget* control : pages->findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(control) || qobject_cast<QCheckBox*>(control) ||
                qobject_cast<QComboBox*>(control)) {
                captions << control;
            }
        }
        ASSERT_FALSE(captions.isEmpty());
        const QFont font = captions.first()->font();
        for (QWidget* caption : captions) {
            EXPECT_EQ(caption->font().stretch(), font.stretch()) << caption->objectName().toStdString();
            EXPECT_EQ(caption->font().pixelSize(), font.pixelSize()) << caption->objectName().toStdString();
            EXPECT_LE(caption->sizeHint().width(), caption->width()) << caption->objectName().toStdString();
        }
    }
}

// ---- OK ----

TEST_F(StationDialog, OkWithoutChangesRewritesOnlyTimesAndTheId)
{
    ParsedXml station(pushing_station);
    const bool ok = edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_ID->text(), "12");
        EXPECT_EQ(d->ed_gsm_duration->text(), "1");
        EXPECT_EQ(d->ed_gsm_interval->text(), "2");
        EXPECT_EQ(d->ed_description->text(), "Quay & pier");
        click(d->Button1);
    });
    EXPECT_TRUE(ok);

    ParsedXml expected(pushing_station);
    xml_set_attr(expected.root, "id", "12");
    xml_set_attr(expected.root, "pin", "2222");  // the PIN_CODE value wins
    TiXmlElement* cfg = expected.root->FirstChildElement("CONFIGURATION");
    xml_set_attr(xml_find_path(cfg, "GSM_DURATION"), "value", "60");
    TiXmlElement* switches = xml_find_path(cfg, "SYSCTRL");
    for (const char* name : {"gsm_enabled", "gsm_call", "gprs"}) {
        xml_set_attr(switches, name, "on");
    }
    complete_station_defaults(expected.root);
    EXPECT_EQ(text_of(station.root), text_of(expected.root));
}

TEST_F(StationDialog, LongTextsComeBackWhole)
{
    // Longer than the usual limit of an edit box (32767 characters).
    const std::string description(40000, 'd');
    ParsedXml station("<STATION description=\"" + description + "\"/>");
    edit(station.root, [](TFedit* d) { click(d->Button1); });
    EXPECT_EQ(xml_get_attr_text(station.root, "description"), description);
}

// "internet.operator.example" showed as "rnet.operator.example".
TEST_F(StationDialog, EveryBoxShowsTheStartOfItsText)
{
    ParsedXml station("<STATION/>");
    edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_apn_name->text(), QStringLiteral("internet.operator.example"));
        for (QLineEdit* box : d->findChildren<QLineEdit*>()) {
            const bool of_a_list = qobject_cast<QComboBox*>(box->parent()) != nullptr;
            EXPECT_TRUE(of_a_list || box->cursorPosition() == 0) << box->objectName().toStdString();
        }
        click(d->Button1);
    });
}

// Reopened after a sequence dialog and Escape, the dialog selected the whole
// text of its first box and showed the end of it.
TEST_F(StationDialog, EveryBoxShowsTheStartOfItsTextAgainAfterASequenceDialog)
{
    ParsedXml station("<STATION id='1234567890'/>");
    edit(station.root, [](TFedit* d) {
        d->PageControl1->setCurrentWidget(d->TabSheet3);
        in_sequence_dialog(d->Button7, [](QWidget* sequence) { QTest::keyClick(sequence, Qt::Key_Escape); });
        QTest::keyClick(d->Button7, Qt::Key_Escape);
    });
    edit(station.root, [](TFedit* d) {
        for (QLineEdit* box : d->findChildren<QLineEdit*>()) {
            const bool of_a_list = qobject_cast<QComboBox*>(box->parent()) != nullptr;
            EXPECT_TRUE(of_a_list || (box->cursorPosition() == 0 && !box->hasSelectedText()))
                << box->objectName().toStdString();
        }
        click(d->Button2);
    });
}

TEST_F(StationDialog, TypedTextsAreStoredAsTyped)
{
    ParsedXml station("<STATION/>");
    edit(station.root, [](TFedit* d) {
        type_text(d->ed_ID, " 0042x");
        type_text(d->ed_phone_nbr, "");
        type_text(d->ed_description, QString::fromLatin1("caf\xe9 <north> "));
        type_text(d->ed_sms, "+33 6");
        click(d->Button1);
    });
    EXPECT_STREQ(xml_get_attr(station.root, "id"), " 0042x");
    EXPECT_STREQ(xml_get_attr(station.root, "phone_nbr"), "");
    EXPECT_STREQ(xml_get_attr(station.root, "description"), "caf\xe9 <north> ");
    EXPECT_STREQ(parameter(station.root, "SMS_NUMBER"), "+33 6");
}

// ---- times ----

TEST_F(StationDialog, TimesAreShownInMinutesAndHoursAndStoredBackInSeconds)
{
    ParsedXml station(
        station_with("<GSM_DURATION value=\"90\"/><GSM_INTERVAL value=\"86399\"/><GSM_SMS_DURATION value=\"59\"/>"));
    edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_gsm_duration->text(), "1");
        EXPECT_EQ(d->ed_gsm_interval->text(), "23");
        EXPECT_EQ(d->ed_gsm_sms_duration->text(), "0");
        type_text(d->ed_acq_interval0, "1.5");
        type_text(d->ed_acq_interval1, "15 min");
        type_text(d->ed_gsm_sms_duration, "-5");
        type_text(d->ed_gsm_interval, "596524");  // beyond the 32-bit range of seconds
        click(d->Button1);
    });
    EXPECT_STREQ(parameter(station.root, "GSM_DURATION"), "60");
    EXPECT_STREQ(parameter(station.root, "GSM_INTERVAL"), "2147483647");
    EXPECT_STREQ(parameter(station.root, "GSM_SMS_DURATION"), "-300");
    EXPECT_STREQ(parameter(station.root, "ACQ_INTERVAL0"), "60");
    EXPECT_STREQ(parameter(station.root, "ACQ_INTERVAL1"), "900");
}

// ---- GSM modes ----

TEST_F(StationDialog, EachModeEnablesItsEdits)
{
    ParsedXml station("<STATION/>");
    edit(station.root, [](TFedit* d) {
        choose_item(d->cb_gsm_mode, "Disabled");
        EXPECT_FALSE(timing_edits_enabled(d));
        EXPECT_FALSE(gprs_edits_enabled(d));
        choose_item(d->cb_gsm_mode, "GPRS PUSH");
        EXPECT_TRUE(timing_edits_enabled(d));
        EXPECT_TRUE(gprs_edits_enabled(d));
        choose_item(d->cb_gsm_mode, "GSM DATA");
        EXPECT_TRUE(timing_edits_enabled(d));
        EXPECT_FALSE(gprs_edits_enabled(d));
        click(d->Button2);
    });
}

TEST_F(StationDialog, ATypedModeNamingNoItemChangesNoSwitch)
{
    ParsedXml station(pushing_station);
    edit(station.root, [](TFedit* d) {
        type_text(d->cb_gsm_mode, "GSM");
        EXPECT_TRUE(timing_edits_enabled(d));
        EXPECT_FALSE(gprs_edits_enabled(d));
        click(d->Button1);
    });
    for (const char* name : {"gsm_enabled", "gsm_call", "gprs"}) {
        EXPECT_STREQ(parameter(station.root, "SYSCTRL", name), "on") << name;
    }
}

TEST_F(StationDialog, StoredSwitchesFollowTheMode)
{
    struct Case {
        const char* name;
        std::string switches;
        const char* opens_as;
        const char* choose;  // null: keep the mode it opened in
        const char* enabled;
        const char* call;
        const char* gprs;
    };
    const Case cases[] = {
        {"disabled wins over a set gsm_call", sysctrl("off", "on", "off"), "Disabled", nullptr, "off", "off", "off"},
        {"capitals read as on", sysctrl("ON", "On", "oN"), "GPRS PUSH", nullptr, "on", "on", "on"},
        {"GSM DATA keeps gsm_call", sysctrl("on", "on", "off"), "GSM DATA", nullptr, "on", "on", "off"},
        {"GSM DATA keeps gprs alone", sysctrl("on", "off", "on"), "GSM DATA", nullptr, "on", "off", "on"},
        {"GPRS PUSH chosen", sysctrl("off", "off", "off"), "Disabled", "GPRS PUSH", "on", "on", "on"},
        {"GSM DATA from disabled", sysctrl("off", "on", "on"), "Disabled", "GSM DATA", "on", "off", "off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParsedXml station(station_with(c.switches));
        edit(station.root, [&](TFedit* d) {
            EXPECT_EQ(d->cb_gsm_mode->currentText(), QString::fromLatin1(c.opens_as));
            if (c.choose != nullptr) {
                choose_item(d->cb_gsm_mode, c.choose);
            }
            click(d->Button1);
        });
        EXPECT_STREQ(parameter(station.root, "SYSCTRL", "gsm_enabled"), c.enabled);
        EXPECT_STREQ(parameter(station.root, "SYSCTRL", "gsm_call"), c.call);
        EXPECT_STREQ(parameter(station.root, "SYSCTRL", "gprs"), c.gprs);
    }
}

TEST_F(StationDialog, GsmDataChosenOverGprsPushReadsBackAsGsmData)
{
    ParsedXml station(pushing_station);
    edit(station.root, [](TFedit* d) {
        choose_item(d->cb_gsm_mode, "GSM DATA");
        click(d->Button1);
    });
    edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->cb_gsm_mode->currentText(), "GSM DATA");
        EXPECT_FALSE(gprs_edits_enabled(d));
        click(d->Button2);
    });
}

TEST_F(StationDialog, NoModeCarriesOverToTheNextStation)
{
    ParsedXml pushing(pushing_station);
    ParsedXml disabled(station_with(sysctrl("off", "off", "off")));
    edit(pushing.root, [](TFedit* d) { click(d->Button1); });
    edit(disabled.root, [](TFedit* d) {
        EXPECT_EQ(d->cb_gsm_mode->currentText(), "Disabled");
        EXPECT_FALSE(timing_edits_enabled(d));
        // A text typed now must not reach the next opening either.
        type_text(d->cb_gsm_mode, "whatever");
        click(d->Button2);
    });
    edit(disabled.root, [](TFedit* d) {
        EXPECT_EQ(d->cb_gsm_mode->currentText(), "Disabled");
        click(d->Button1);
    });
    EXPECT_STREQ(parameter(disabled.root, "SYSCTRL", "gsm_call"), "off");
    EXPECT_STREQ(parameter(disabled.root, "SYSCTRL", "gprs"), "off");
}

TEST_F(StationDialog, DisabledEditsAreStoredAsShown)
{
    ParsedXml station("<STATION/>");
    edit(station.root, [](TFedit* d) {
        choose_item(d->cb_gsm_mode, "GPRS PUSH");
        type_text(d->ed_http_host, "other.example");
        type_text(d->ed_apn_password, "secret");
        type_text(d->ed_gsm_duration, "3");
        choose_item(d->cb_gsm_mode, "Disabled");
        EXPECT_FALSE(d->ed_http_host->isEnabled());
        click(d->Button1);
    });
    EXPECT_STREQ(parameter(station.root, "HTTP_HOST", "host"), "other.example");
    EXPECT_STREQ(parameter(station.root, "GPRS_APN_PASSWORD"), "secret");
    EXPECT_STREQ(parameter(station.root, "GSM_DURATION"), "180");
    EXPECT_STREQ(parameter(station.root, "SYSCTRL", "gsm_enabled"), "off");
}

// ---- PIN code ----

TEST_F(StationDialog, PinCodeParameterWinsAndOkMakesBothEqual)
{
    ParsedXml station(pushing_station);  // pin 1111, PIN_CODE 2222
    edit(station.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_pin->text(), "2222");
        click(d->Button1);
    });
    EXPECT_STREQ(xml_get_attr(station.root, "pin"), "2222");
    EXPECT_STREQ(parameter(station.root, "PIN_CODE"), "2222");

    ParsedXml empty_code(
        "<STATION pin=\"3333\"><CONFIGURATION value=\"0\"><PIN_CODE value=\"\"/></CONFIGURATION></STATION>");
    edit(empty_code.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_pin->text(), "3333");
        type_text(d->ed_pin, "4444");
        click(d->Button1);
    });
    EXPECT_STREQ(xml_get_attr(empty_code.root, "pin"), "4444");
    EXPECT_STREQ(parameter(empty_code.root, "PIN_CODE"), "4444");
}

TEST_F(StationDialog, NoPinAnywhereNeverShowsTheLastStationsPin)
{
    ParsedXml first(pushing_station);
    edit(first.root, [](TFedit* d) { click(d->Button1); });
    ParsedXml no_pin("<STATION pin=\"\"><CONFIGURATION value=\"0\"><PIN_CODE value=\"\"/></CONFIGURATION></STATION>");
    edit(no_pin.root, [](TFedit* d) {
        EXPECT_EQ(d->ed_pin->text(), "");
        click(d->Button1);
    });
    EXPECT_STREQ(xml_get_attr(no_pin.root, "pin"), "");
    EXPECT_STREQ(parameter(no_pin.root, "PIN_CODE"), "");
}

// ---- sequences ----

TEST_F(StationDialog, SequenceButtonsOpenTheirSequenceWithItsCaption)
{
    ParsedXml station("<STATION/>");
    struct Opened {
        QString caption;
        bool thresholds = false;
    };
    Opened slow, fast, health;
    const auto remember = [](Opened& opened) {
        return [&opened](QWidget* modal) {
            opened.thresholds = Facquisition_sequence->show_thresholds;
            click(modal, "Button2");
        };
    };
    edit(station.root, [&](TFedit* d) {
        slow.caption = in_sequence_dialog(d->Button7, remember(slow));
        fast.caption = in_sequence_dialog(d->Button3, remember(fast));
        health.caption = in_sequence_dialog(d->Button4, remember(health));
        click(d->Button2);
    });
    EXPECT_EQ(slow.caption, "Slow sequence");
    EXPECT_EQ(fast.caption, "Fast sequence");
    EXPECT_EQ(health.caption, "Health sequence");
    EXPECT_TRUE(slow.thresholds);
    EXPECT_TRUE(fast.thresholds);
    EXPECT_FALSE(health.thresholds);
}

TEST_F(StationDialog, SequenceEditsReachTheStationOnlyWithOk)
{
    ParsedXml station(pushing_station);
    edit(station.root, [](TFedit* d) {
        in_sequence_dialog(d->Button3, drop_battery_measure);
        click(d->Button1);
    });
    TiXmlElement* sequences = station.root->FirstChildElement("CONFIGURATION")->NextSiblingElement();
    ASSERT_NE(sequences, nullptr);
    TiXmlElement* slow = sequences->FirstChildElement("ACQUISITION_SEQUENCE");
    TiXmlElement* fast = slow->NextSiblingElement();
    EXPECT_NE(slow->FirstChildElement("ACQ_VBAT"), nullptr);
    EXPECT_EQ(fast->FirstChildElement("ACQ_VBAT"), nullptr);
}

}  // namespace
