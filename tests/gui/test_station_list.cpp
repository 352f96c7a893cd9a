// The station list of the "NUXOs" tab and its Delete command.
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "station/station_record.h"
#include "support/core_tree.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"

namespace {

using StationList = MainWindowTest;

void select_rows(TFmain* window, int first, int last)
{
    QAbstractItemModel* model = window->StringGrid_stations->model();
    QItemSelection range(model->index(first, 0), model->index(last, 1));
    window->StringGrid_stations->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

TEST_F(StationList, ListsStationsInAnyLetterCaseAndNothingElse)
{
    add_station("12", "Bridge \xE9st");
    add_station("x", "not a station", "NOTE");
    add_station("13", nullptr, "station");
    // Caught: a description of megabytes made each paint of the list wait
    // seconds; the list shows its start.
    const std::string huge(10000000, 'x');
    add_station("14", huge.c_str());
    window->show_document();

    ASSERT_EQ(station_rows(), 3);
    EXPECT_EQ(station_cell(2, 1), QString(1000, QLatin1Char('x')));
    EXPECT_EQ(station_cell(0, 0), QStringLiteral("12"));
    EXPECT_EQ(station_cell(0, 1), QString::fromUtf8("Bridge \u00e9st"));
    EXPECT_EQ(station_cell(1, 0), QStringLiteral("13"));
    EXPECT_EQ(station_cell(1, 1), QString());
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
    add_station("1", "first");
    TiXmlElement* kept_note = add_station("n", nullptr, "NOTE");
    add_station("2", "second");
    add_station("3", "third");
    window->show_document();
    window->ed_COM_direct->setText(QStringLiteral("COM4"));
    window->modified = false;

    select_rows(window.get(), 1, 2);
    EXPECT_STREQ(xml_get_attr(window->selected_station(), "id"), "2");
    click(window.get(), "Button6");

    ASSERT_EQ(station_rows(), 2);
    EXPECT_EQ(station_cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(station_cell(1, 0), QStringLiteral("3"));
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

    add_station("1", "only");
    window->show_document();
    window->StringGrid_stations->clearSelection();
    window->Button6Click();
    EXPECT_EQ(station_rows(), 1);
    EXPECT_FALSE(window->modified);
}

TEST_F(StationList, ListsAFleetOfTenThousandStations)
{
    for (int i = 0; i < 10000; ++i) {
        const std::string id = std::to_string(i);
        add_station(id.c_str(), "a station of a large fleet");
    }
    window->PageControl1->setCurrentWidget(window->TabSheet2);
    window->show_document();
    QCoreApplication::processEvents();
    ASSERT_EQ(station_rows(), 10000);
    EXPECT_EQ(station_cell(9999, 0), QStringLiteral("9999"));
}

// Add and Edit open the real station dialog (and, from it, the sequence dialog).
class StationEditing : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        build_dialogs();
    }

    // The STATIONS element as the file would hold it.
    std::string stations_text() const { return render_tree(window->node_stations); }
};

TEST_F(StationEditing, CancelledAddLeavesDocumentListAndFlagAsTheyWere)
{
    add_station("7", "existing");
    window->show_document();
    const std::string before = stations_text();

    const std::function<void(QWidget*)> closings[] = {
        [](QWidget* dialog) { click(dialog, "Button2"); },
        [](QWidget* dialog) { QTest::keyClick(child<QLineEdit>(dialog, "ed_ID"), Qt::Key_Escape); },
        [](QWidget* dialog) { dialog->close(); },
    };
    for (bool was_modified : {false, true}) {
        for (const auto& close_dialog : closings) {
            window->modified = was_modified;
            when_modal_shown([close_dialog](QWidget* dialog) {
                type_text(dialog, "ed_ID", "55");
                close_dialog(dialog);
            });
            click(window->Button5);
            EXPECT_EQ(stations_text(), before);
            EXPECT_EQ(station_rows(), 1);
            EXPECT_EQ(window->modified, was_modified);
        }
    }
}

TEST_F(StationEditing, AddWithOkStoresTheCompleteNewStationAndMarksTheDocument)
{
    window->ed_path_bin->setText(QStringLiteral("d:\\typed"));
    window->modified = false;
    when_modal_shown([](QWidget* dialog) {
        type_text(dialog, "ed_ID", "4711");
        click(dialog, "Button1");
    });
    click(window->Button5);

    EXPECT_TRUE(window->modified);
    ASSERT_EQ(station_rows(), 1);
    EXPECT_EQ(station_cell(0, 0), QStringLiteral("4711"));
    EXPECT_EQ(station_cell(0, 1), QStringLiteral("new station"));
    EXPECT_STREQ(xml_get_attr(window->selected_station(), "id"), "4711");

    // The stored record is the new-station default apart from the typed id.
    TiXmlElement expected("STATION");
    complete_station_defaults(&expected);
    xml_set_attr(&expected, "id", "4711");
    EXPECT_EQ(render_tree(xml_first_child(window->node_stations)), render_tree(&expected));
    // Text typed into the directory edits before the Add survives the refresh.
    EXPECT_EQ(window->ed_path_bin->text(), QStringLiteral("d:\\typed"));
}

TEST_F(StationEditing, EditActsOnTheTopmostSelectedStationAndOnlyOkMarksTheDocument)
{
    add_station("1", "first");
    add_station("2", "second in lower case", "station");
    add_station("3", "third");
    window->show_document();
    select_rows(window.get(), 1, 2);
    const std::string before = stations_text();

    click_in_next_modal(QStringLiteral("Cancel"));
    click(window->Button7);
    EXPECT_EQ(stations_text(), before);
    EXPECT_FALSE(window->modified);

    when_modal_shown([](QWidget* dialog) {
        QLineEdit* description = child<QLineEdit>(dialog, "ed_description");
        EXPECT_EQ(description->text(), QStringLiteral("second in lower case"));
        type_text(description, "renamed");
        click(dialog, "Button1");
    });
    // Only the edited row is redrawn; the list keeps its other rows.
    QSignalSpy redrawn(window->StringGrid_stations->model(), &QAbstractItemModel::dataChanged);
    click(window->Button7);
    ASSERT_EQ(redrawn.size(), 1);
    EXPECT_EQ(redrawn.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(redrawn.first().at(1).toModelIndex().column(), 1);
    EXPECT_TRUE(window->modified);
    EXPECT_EQ(station_cell(1, 1), QStringLiteral("renamed"));
    EXPECT_EQ(station_cell(0, 1), QStringLiteral("first"));
    EXPECT_STREQ(xml_name(window->selected_station()), "station");
}

TEST_F(StationEditing, DoubleClickOpensTheStationUnderTheMouse)
{
    add_station("1", "first");
    add_station("2", "second");
    window->show_document();
    window->PageControl1->setCurrentWidget(window->TabSheet2);
    QTableView* grid = window->StringGrid_stations;
    const QPoint second_row = grid->visualRect(grid->model()->index(1, 0)).center();

    QString shown_id;
    when_modal_shown([&shown_id](QWidget* dialog) {
        shown_id = child<QLineEdit>(dialog, "ed_ID")->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    // An item view takes a double-click only on the item the press went to.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, second_row);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, second_row);
    EXPECT_EQ(shown_id, QStringLiteral("2"));
    EXPECT_FALSE(window->modified);
}

// ---- the keyboard in the list ----

class StationKeyboard : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (int i = 1; i <= 60; ++i) {
            add_station(std::to_string(i).c_str(), "station");
        }
        window->show_document();
        window->PageControl1->setCurrentWidget(window->TabSheet2);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->StringGrid_stations->setFocus();
    }

    int selected_id() const { return xml_get_attr_int(window->selected_station(), "id"); }

    bool current_row_in_view() const
    {
        StationGrid* grid = window->StringGrid_stations;
        return grid->viewport()->rect().intersects(grid->visualRect(grid->currentIndex()));
    }
};

// With 2,000 stations, Tab went from cell to cell and never reached the buttons.
TEST_F(StationKeyboard, TabLeavesTheListForAddANewNuxoAndShiftTabComesBack)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->Button5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->StringGrid_stations);
}

// Tab reached the list and the tab bar without a sign of it: no focus
// rectangle on the selected row, a faint tint on the tab.
TEST_F(StationKeyboard, TheListAndTheTabBarShowTheFocusThatTabGivesThem)
{
    const auto strong_differences = [](const QImage& a, const QImage& b) {
        int count = 0;
        for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
            for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
                count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96 ? 1 : 0;
            }
        }
        return count;
    };
    QWidget* tab_bar = window->PageControl1->findChild<QTabBar*>();
    QWidget* grid = window->StringGrid_stations;
    // Shift+Tab from "Add a new NUXO" reaches the list, and from the list the tab bar.
    const struct {
        QWidget* from;
        QWidget* to;
    } moves[] = {{window->Button5, grid}, {grid, tab_bar}};
    for (const auto& move : moves) {
        move.from->setFocus();
        const QImage unfocused = move.to->grab().toImage();
        QTest::keyClick(move.from, Qt::Key_Tab, Qt::ShiftModifier);
        ASSERT_EQ(QApplication::focusWidget(), move.to) << move.to->metaObject()->className();
        EXPECT_GT(strong_differences(unfocused, move.to->grab().toImage()), 40) << move.to->metaObject()->className();
    }
}

// Ctrl+End scrolled to the last station and left the first one selected,
// out of view, for Edit Selected to open.
TEST_F(StationKeyboard, TheSelectionFollowsTheKeyboardCursorIntoView)
{
    // Expected id 0: wherever the page move lands.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int id;
    } moves[] = {
        {Qt::Key_End, Qt::ControlModifier, 60}, {Qt::Key_Home, Qt::ControlModifier, 1},
        {Qt::Key_Down, Qt::NoModifier, 2},      {Qt::Key_PageDown, Qt::ControlModifier, 0},
        {Qt::Key_End, Qt::NoModifier, 60},      {Qt::Key_PageUp, Qt::NoModifier, 0},
        {Qt::Key_Home, Qt::NoModifier, 1},
    };
    for (const auto& move : moves) {
        QTest::keyClick(window->StringGrid_stations, move.key, move.modifiers);
        const int cursor_id = window->StringGrid_stations->currentIndex().row() + 1;
        EXPECT_EQ(selected_id(), cursor_id) << move.key;
        if (move.id != 0) {
            EXPECT_EQ(selected_id(), move.id) << move.key;
        }
        EXPECT_TRUE(current_row_in_view()) << move.key;
    }
}

// After Open, New or Delete, Edit Selected did nothing until a row was clicked.
TEST_F(StationKeyboard, ARebuiltListAlwaysHasACurrentSelectedStation)
{
    EXPECT_EQ(selected_id(), 1);
    QTest::keyClick(window->StringGrid_stations, Qt::Key_End, Qt::ControlModifier);
    // Open and New rebuild the list through show_document.
    window->show_document();
    EXPECT_EQ(selected_id(), 1);
    EXPECT_EQ(window->StringGrid_stations->currentIndex().row(), 0);
}

// Delete selected the first station, out of view in a long list, with the
// focus still on the button: a second Space deleted a station the operator
// never chose.
TEST_F(StationKeyboard, DeleteKeepsItsPlaceInTheList)
{
    // One after the other: a station near the top, one far down the list,
    // then the last one twice.
    const struct {
        int presses_of_down;  // from the first station
        int selected_after;   // the id then selected
    } deletes[] = {{2, 4}, {40, 43}, {57, 59}, {56, 58}};
    for (const auto& at : deletes) {
        QTest::keyClick(window->StringGrid_stations, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < at.presses_of_down; ++i) {
            QTest::keyClick(window->StringGrid_stations, Qt::Key_Down);
        }
        const int rows = station_rows();
        press_key(window->Button6, Qt::Key_Space);
        EXPECT_EQ(station_rows(), rows - 1);
        EXPECT_EQ(selected_id(), at.selected_after) << at.presses_of_down;
        EXPECT_TRUE(current_row_in_view()) << at.presses_of_down;
        EXPECT_EQ(QApplication::focusWidget(), window->Button6);
    }
}

// Return on a focused button did nothing; only the space bar pressed it.
// Return on the list did nothing either, where a Windows list opens the
// selected item.
TEST_F(StationKeyboard, ReturnOnEditSelectedOrOnTheListOpensTheSelectedStation)
{
    build_dialogs();
    QTest::keyClick(window->StringGrid_stations, Qt::Key_Down);
    for (QWidget* target :
         {static_cast<QWidget*>(window->Button7), static_cast<QWidget*>(window->StringGrid_stations)}) {
        QString shown_id;
        when_modal_shown([&shown_id](QWidget* dialog) {
            shown_id = child<QLineEdit>(dialog, "ed_ID")->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        press_key(target, Qt::Key_Return);
        EXPECT_EQ(shown_id, QStringLiteral("2")) << target->objectName().toStdString();
    }
}
