// The station list of the "NUXOs" tab and its Delete command.
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/station_list_model.h"
#include "support/gui_main_window.h"
#include "support/gui_modal.h"

namespace {

using StationList = MainWindowTest;

TiXmlElement* add_station(TiXmlElement* stations, const char* name, const char* id, const char* description)
{
    TiXmlElement* station = xml_add_child(stations, name);
    xml_set_attr(station, "id", id);
    if (description != nullptr) {
        xml_set_attr(station, "description", description);
    }
    return station;
}

QString cell(TFmain* window, int row, int column)
{
    return window->StringGrid_stations->model()->index(row, column).data().toString();
}

int rows(TFmain* window)
{
    return window->StringGrid_stations->model()->rowCount();
}

void select_rows(TFmain* window, int first, int last)
{
    QAbstractItemModel* model = window->StringGrid_stations->model();
    QItemSelection range(model->index(first, 0), model->index(last, 1));
    window->StringGrid_stations->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

TEST_F(StationList, ListsStationsInAnyLetterCaseAndNothingElse)
{
    add_station(window->node_stations, "STATION", "12", "Bridge \xE9st");
    add_station(window->node_stations, "NOTE", "x", "not a station");
    add_station(window->node_stations, "station", "13", nullptr);
    window->show_document();

    ASSERT_EQ(rows(window.get()), 2);
    EXPECT_EQ(cell(window.get(), 0, 0), QStringLiteral("12"));
    EXPECT_EQ(cell(window.get(), 0, 1), QString::fromUtf8("Bridge \u00e9st"));
    EXPECT_EQ(cell(window.get(), 1, 0), QStringLiteral("13"));
    EXPECT_EQ(cell(window.get(), 1, 1), QString());
    QAbstractItemModel* model = window->StringGrid_stations->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Description"));
    EXPECT_EQ(window->StringGrid_stations->columnWidth(0), 80);
    EXPECT_EQ(window->StringGrid_stations->columnWidth(1), 300);
    EXPECT_EQ(window->StringGrid_stations->rowHeight(0), 18);
    EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(StationList, DeleteRemovesTheTopmostSelectedStationAtOnce)
{
    add_station(window->node_stations, "STATION", "1", "first");
    TiXmlElement* kept_note = add_station(window->node_stations, "NOTE", "n", nullptr);
    add_station(window->node_stations, "STATION", "2", "second");
    add_station(window->node_stations, "STATION", "3", "third");
    window->show_document();
    window->ed_COM_direct->setText(QStringLiteral("COM4"));
    window->modified = false;

    select_rows(window.get(), 1, 2);
    EXPECT_STREQ(xml_get_attr(window->selected_station(), "id"), "2");
    QTest::mouseClick(child<QPushButton>(window.get(), "Button6"), Qt::LeftButton);

    ASSERT_EQ(rows(window.get()), 2);
    EXPECT_EQ(cell(window.get(), 0, 0), QStringLiteral("1"));
    EXPECT_EQ(cell(window.get(), 1, 0), QStringLiteral("3"));
    EXPECT_TRUE(window->modified);
    // The edits went into the document first, so the refresh kept them.
    EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM4"));
    EXPECT_EQ(xml_next_sibling(xml_first_child(window->node_stations)), kept_note);
}

TEST_F(StationList, CommandsWithoutASelectedStationDoNothing)
{
    window->Button6Click();
    window->Button7Click();
    EXPECT_FALSE(window->modified);

    add_station(window->node_stations, "STATION", "1", "only");
    window->show_document();
    window->StringGrid_stations->clearSelection();
    window->Button6Click();
    EXPECT_EQ(rows(window.get()), 1);
    EXPECT_FALSE(window->modified);
}

TEST_F(StationList, RebuildingTenThousandStationsIsCheap)
{
    for (int i = 0; i < 10000; ++i) {
        const std::string id = std::to_string(i);
        add_station(window->node_stations, "STATION", id.c_str(), "a station of a large fleet");
    }
    window->PageControl1->setCurrentWidget(window->TabSheet2);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10; ++i) {
        window->show_document();
        QCoreApplication::processEvents();
    }
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(rows(window.get()), 10000);
    EXPECT_EQ(cell(window.get(), 9999, 0), QStringLiteral("9999"));
}
