#include "support/gui_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QWidget>

#include "app/station_grid.h"

void expect_only_visible_window(const QWidget* expected)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget != expected) {
            ADD_FAILURE() << "a window stayed open: " << widget->metaObject()->className() << " \""
                          << widget->windowTitle().toStdString() << "\"";
            widget->hide();
        }
    }
}

void GuiTest::SetUp()
{
    // Closing the main window must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void GuiTest::TearDown()
{
    expect_only_visible_window(nullptr);
    station_dialog.reset();
    sequence_dialog.reset();
}

void GuiTest::build_dialogs()
{
    sequence_dialog = std::make_unique<TFacquisition_sequence>();
    station_dialog = std::make_unique<TFedit>();
}

void DialogTest::SetUp()
{
    GuiTest::SetUp();
    build_dialogs();
}

void MainWindowTest::SetUp()
{
    GuiTest::SetUp();
    ASSERT_TRUE(temp.isValid());
    window = std::make_unique<TFmain>();
    window->show();
}

void MainWindowTest::TearDown()
{
    if (window != nullptr) {
        window->modified = false;
        window->hide();
        window.reset();
    }
    GuiTest::TearDown();
}

QString MainWindowTest::temp_path(const char* name) const
{
    return temp.filePath(QString::fromUtf8(name));
}

TiXmlElement* MainWindowTest::add_station(const char* id, const char* description, const char* name)
{
    TiXmlElement* station = xml_add_child(window->node_stations, name);
    xml_set_attr(station, "id", id);
    if (description != nullptr) {
        xml_set_attr(station, "description", description);
    }
    return station;
}

int MainWindowTest::station_rows() const
{
    return window->StringGrid_stations->model()->rowCount();
}

QString MainWindowTest::station_cell(int row, int column) const
{
    return window->StringGrid_stations->model()->index(row, column).data().toString();
}

std::string read_bytes(const QString& path)
{
    return read_bytes(std::string(QFile::encodeName(path).constData()));
}

void write_bytes(const QString& path, const std::string& bytes)
{
    write_bytes(std::string(QFile::encodeName(path).constData()), bytes);
}
