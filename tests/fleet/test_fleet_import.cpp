// zantor-fleet import-csv against the editor itself: a station the import
// appends is stored byte for byte as the editor's "Add a new NUXO" followed
// by OK with the same values, then Save, would store it.
#include <QFile>
#include <QPushButton>
#include <QTest>

#include "support/fleet_program.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"

namespace {

using FleetImport = MainWindowTest;

TEST_F(FleetImport, AnAppendedStationIsWhatAddAndOkWouldStore)
{
    build_dialogs();
    const std::string settings =
        "<SETUP>\n<STATIONS>\n<STATION id=\"1\" description=\"Pump house\"/>\n</STATIONS>\n</SETUP>\n";
    write_bytes(temp_path("fleet.xml"), settings);

    myXMLdocument loaded(nullptr);
    ASSERT_NE(loaded.load_file(QFile::encodeName(temp_path("fleet.xml")).constData()), nullptr);
    window->setup_doc.take_over(loaded);
    window->bind_elements();
    window->show_document();
    when_modal_shown([](QWidget* dialog) {
        type_text(dialog, "ed_ID", "12");
        type_text(dialog, "ed_description", QString::fromUtf8("Cr\xC3\xAAte \"nord\""));
        type_text(dialog, "ed_pin", "4321");
        choose_item(dialog, "cb_gsm_mode", "GPRS PUSH");
        type_text(dialog, "ed_apn_name", "apn.example");
        type_text(dialog, "ed_gsm_duration", "20");
        click(dialog, "Button1");
    });
    click(window->Button5);
    ASSERT_TRUE(window->save_document(temp_path("editor.xml")));

    write_bytes(temp_path("new.csv"),
                "id;description;pin;gsm_mode;apn_name;gsm_duration_min\r\n"
                "12;\"Cr\xC3\xAAte \"\"nord\"\"\";4321;GPRS PUSH;apn.example;20\r\n");
    ASSERT_EQ(0, run_fleet_program(temp.path().toStdString(), {"import-csv", "fleet.xml", "new.csv", "--add"}).status);
    EXPECT_EQ(read_bytes(temp_path("editor.xml")), read_bytes(temp_path("fleet.xml")));
}

}  // namespace
