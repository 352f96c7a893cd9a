// The fixtures of the window tests. Each test builds the windows it uses and
// they go with it, so that no test sees what an earlier one left in them;
// after each test no window may be left on screen.
#ifndef ZANTOR_TESTS_SUPPORT_GUI_FIXTURE_H
#define ZANTOR_TESTS_SUPPORT_GUI_FIXTURE_H

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/main.h"
#include "sequence/acquisition_sequence.h"
#include "station/edit_nuxo1f.h"
#include "support/core_files.h"

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Fails the test for each window still shown, then destroys the dialogs.
    void TearDown() override;

    // Builds the station dialog and the sequence dialog its buttons open, as
    // the program does at start-up: the constructors set Fedit and
    // Facquisition_sequence, the destructors clear them.
    void build_dialogs();

    std::unique_ptr<TFacquisition_sequence> sequence_dialog;
    std::unique_ptr<TFedit> station_dialog;
};

// The dialog tests: both dialogs, and no main window.
class DialogTest : public GuiTest {
protected:
    void SetUp() override;
};

// The main window tests: a fresh main window shown offscreen, and a
// temporary directory for settings files.
class MainWindowTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside the test's temporary directory.
    QString temp_path(const char* name) const;

    // Appends a station to the document, an element named `name` with the
    // id and, when not null, the description; show_document() lists it.
    TiXmlElement* add_station(const char* id, const char* description, const char* name = "STATION");

    // The station list as the operator reads it.
    int station_rows() const;
    QString station_cell(int row, int column) const;

    std::unique_ptr<TFmain> window;
    QTemporaryDir temp;
};

// Fails the test for each visible top-level window that is not `expected`,
// and hides it so the next test starts clean.
void expect_only_visible_window(const QWidget* expected);

// read_bytes and write_bytes of core_files.h for a path held as a QString.
std::string read_bytes(const QString& path);
void write_bytes(const QString& path, const std::string& bytes);

#endif
