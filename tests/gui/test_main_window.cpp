// The main window: its start state, the modified flag fed by the five edits,
// the unsaved-changes question on close, and the hidden log.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/log_memo.h"
#include "app/pictures.h"
#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "doc/Lib_cpp.h"
#include "support/gui_file_dialog.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "support/test_paths.h"

namespace {

using StartState = MainWindowTest;
using ModifiedFlag = MainWindowTest;
using Closing = MainWindowTest;
using HiddenLog = MainWindowTest;

QLineEdit* edit_named(TFmain* window, const char* name)
{
    return child<QLineEdit>(window, name);
}

const char* const five_edits[] = {"ed_COM_direct", "ed_COM_modem", "ed_path_bin", "ed_path_xml", "ed_path_log"};

}  // namespace

TEST_F(StartState, ShowsTheDefaultDocumentOnTheComPortsTab)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zantor Editor V4 - 6478c"));
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet1);
    EXPECT_EQ(edit_named(window.get(), "ed_COM_direct")->text(), QStringLiteral("COM1"));
    EXPECT_EQ(edit_named(window.get(), "ed_COM_modem")->text(), QStringLiteral("COM2"));
    EXPECT_EQ(edit_named(window.get(), "ed_path_bin")->text(), QStringLiteral("c:\\kestrane\\data_bin"));
    EXPECT_EQ(edit_named(window.get(), "ed_path_xml")->text(), QStringLiteral("c:\\kestrane\\data_xml"));
    EXPECT_EQ(edit_named(window.get(), "ed_path_log")->text(),
              QStringLiteral("c:\\kestrane\\zantor_basic\\status_log"));
    EXPECT_EQ(child<QTableView>(window.get(), "StringGrid_stations")->model()->rowCount(), 0);
    EXPECT_TRUE(child<QLabel>(window.get(), "lb_filename")->text().isEmpty());
    EXPECT_FALSE(window->Save1->isEnabled());
    EXPECT_TRUE(window->Open1->isEnabled());
    EXPECT_FALSE(window->modified);
    EXPECT_TRUE(window->current_file().isEmpty());
}

TEST_F(StartState, ClientAreaIsFixedUnderTheMenuBar)
{
    QWidget* client = window->centralWidget();
    EXPECT_EQ(client->size(), QSize(515, 462));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(client->geometry().top(), window->menuBar()->geometry().bottom() + 1);
    // Nothing sticks out of the tab or overlaps the tab's controls.
    window->PageControl1->setCurrentWidget(window->TabSheet3);
    for (QWidget* control : window->TabSheet3->findChildren<QWidget*>()) {
        EXPECT_TRUE(window->TabSheet3->rect().contains(control->geometry())) << control->objectName().toStdString();
    }
    EXPECT_FALSE(window->Label1->geometry().intersects(window->ed_path_bin->geometry()));
    EXPECT_FALSE(window->Label4->geometry().intersects(window->ed_COM_direct->geometry()));
    EXPECT_TRUE(window->Label4->font().italic());
}

// A path longer than its edit showed its end, cut on the left.
TEST_F(StartState, EveryEditShowsTheStartOfItsText)
{
    xml_set_attr(window->node_path_bin, "path", "c:\\kestrane\\a folder name far too long for the edit\\data_bin");
    window->show_document();
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
        EXPECT_EQ(edit->cursorPosition(), 0) << edit->objectName().toStdString();
    }
}

// The edits kept Qt's limit of 32,767 characters: a stored 40,000-character
// path came back shortened after the next save.
TEST_F(StartState, LongPathsSurviveASave)
{
    const std::string path(40000, 'p');
    xml_set_attr(window->node_path_log, "path", path.c_str());
    window->show_document();
    window->store_edits();
    EXPECT_EQ(xml_get_attr_text(window->node_path_log, "path"), path);
}

// The main window and the station dialog showed a maximize button that did
// nothing: their frames are fixed.
TEST_F(StartState, FixedFramesOfferNoMaximizeButton)
{
    build_dialogs();
    const struct {
        QWidget* window;
        bool minimize;
    } frames[] = {{window.get(), true}, {station_dialog.get(), false}};
    for (const auto& frame : frames) {
        const Qt::WindowFlags flags = frame.window->windowFlags();
        const std::string name = frame.window->objectName().toStdString();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << name;
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << name;
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), frame.minimize) << name;
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << name;
        EXPECT_EQ(frame.window->minimumSize(), frame.window->maximumSize()) << name;
    }
}

// Alt+F, F10 and Alt opened nothing: New, Save As and About needed the mouse.
TEST_F(StartState, F10OrAltSelectsTheMenuBarAndTheKeysRunNew)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QMenuBar* menu_bar = window->menuBar();
    // In the list, as a key in one of the five edits would mark the document
    // modified and New would ask first.
    QWidget* grid = window->StringGrid_stations;
    bring_into_view(grid);
    for (Qt::Key key : {Qt::Key_F10, Qt::Key_Alt}) {
        grid->setFocus();
        window->ed_COM_direct->setText(QStringLiteral("COM9"));
        QTest::keyClick(grid, key);
        EXPECT_EQ(menu_bar->activeAction(), window->File1->menuAction()) << key;
        EXPECT_TRUE(menu_bar->hasFocus()) << key;

        QTest::keyClick(menu_bar, Qt::Key_Return);
        ASSERT_TRUE(window->File1->isVisible()) << key;
        EXPECT_EQ(window->File1->activeAction(), window->New1) << key;
        QTest::keyClick(window->File1, Qt::Key_Return);
        EXPECT_FALSE(window->File1->isVisible()) << key;
        EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM1")) << "New ran, " << key;
        EXPECT_EQ(QApplication::focusWidget(), grid) << key;
    }
    // Escape leaves the menu bar as it came.
    QTest::keyClick(grid, Qt::Key_F10);
    QTest::keyClick(menu_bar, Qt::Key_Escape);
    EXPECT_EQ(menu_bar->activeAction(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    // The access keys: Alt+F opens File, then A runs Save As.
    QTest::keyClick(grid, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(window->File1->isVisible());
    cancel_next_file_dialog();
    QTest::keyClick(window->File1, Qt::Key_A);
    EXPECT_FALSE(window->File1->isVisible());
    EXPECT_NE(window->SaveDialog1, nullptr) << "Save As ran";
}

// Only a change of the text marks the document: a key that leaves it as it
// was (the Ctrl of Ctrl+S, an arrow, a copy) made the close ask a question
// that meant nothing.
TEST_F(ModifiedFlag, SetByAChangeOfTheTextAndByNoOtherKey)
{
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool changes;
    };
    const Key keys[] = {
        {Qt::Key_A, Qt::NoModifier, true},        {Qt::Key_Backspace, Qt::NoModifier, true},
        {Qt::Key_X, Qt::ControlModifier, true},   {Qt::Key_Left, Qt::NoModifier, false},
        {Qt::Key_End, Qt::ShiftModifier, false},  {Qt::Key_Shift, Qt::NoModifier, false},
        {Qt::Key_Control, Qt::NoModifier, false}, {Qt::Key_C, Qt::ControlModifier, false},
        {Qt::Key_Escape, Qt::NoModifier, false},
    };
    for (const char* name : five_edits) {
        QLineEdit* edit = edit_named(window.get(), name);
        for (const Key& key : keys) {
            edit->setText(QStringLiteral("COM4"));
            edit->selectAll();
            window->modified = false;
            QTest::keyClick(edit, key.key, key.modifiers);
            EXPECT_EQ(window->modified, key.changes) << name << " key " << key.key;
        }
    }
}

TEST_F(ModifiedFlag, TextPastedWithoutAKeySetsIt)
{
    for (const char* name : five_edits) {
        window->modified = false;
        // What the edit's context menu "Paste" does: a user edit without a key press.
        QLineEdit* edit = edit_named(window.get(), name);
        emit edit->textEdited(QStringLiteral("D:\\pasted"));
        EXPECT_TRUE(window->modified) << name;
    }
}

TEST_F(ModifiedFlag, StoreEditsWritesAllFiveEditsIntoTheDocument)
{
    edit_named(window.get(), "ed_COM_direct")->setText(QStringLiteral("COM7"));
    edit_named(window.get(), "ed_path_log")->setText(QString::fromUtf8("d:\\journal\u00e9"));
    xml_remove_attrs(window->node_com_modem);
    window->store_edits();
    EXPECT_STREQ(xml_get_attr(window->node_com_direct, "port"), "COM7");
    EXPECT_STREQ(xml_get_attr(window->node_path_log, "path"), "d:\\journal\xe9");
    // An attribute that was missing is created from the edit.
    EXPECT_STREQ(xml_get_attr(window->node_com_modem, "port"), "COM2");
    EXPECT_FALSE(window->modified);
}

TEST_F(Closing, WithoutChangesAsksNothing)
{
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Closing, AnnulerKeepsTheWindowAndTheFlag)
{
    QTest::keyClick(edit_named(window.get(), "ed_path_bin"), Qt::Key_Z);
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    when_modal_shown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QStringLiteral("Annuler")) {
                click(button);
            }
        }
    });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->modified);
    EXPECT_EQ(text, QString::fromUtf8("Fichier courant modifié et non enregistré ! Continuer tout de même ?"));
    EXPECT_EQ(caption, QStringLiteral("Avertissement"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, 2);
}

TEST_F(Closing, EscapeAnswersAnnuler)
{
    window->modified = true;
    when_modal_shown([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(Closing, OkClosesWithoutWritingAnything)
{
    const QString file = temp_path("fleet.xml");
    write_bytes(file, "<SETUP />\r\n");
    window->set_current_file(file);
    window->Save1->setEnabled(true);
    QTest::keyClicks(edit_named(window.get(), "ed_COM_direct"), "9");

    click_in_next_modal(QStringLiteral("OK"));
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(read_bytes(file), "<SETUP />\r\n");
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(HiddenLog, ReceivesTheLogAndIsNeverShown)
{
    log_printf("first %d", 1);
    log_printf("two\r\nlines");
    EXPECT_EQ(window->Memo1->text(), "first 1\r\ntwo\r\nlines\r\n");
    window->PageControl1->setCurrentIndex(2);
    window->PageControl1->setCurrentIndex(0);
    EXPECT_FALSE(window->Memo1->isVisible());
}

TEST_F(HiddenLog, KeepsOnlyTheMostRecentTextAndStaysCheap)
{
    LogMemo log(nullptr, 1000);
    for (int i = 0; i < 1000; ++i) {
        log.append_entry(("line " + std::to_string(i)).c_str());
    }
    EXPECT_LE(log.text().size(), 2000u);
    EXPECT_GE(log.text().size(), 1000u);
    EXPECT_EQ(log.text().compare(0, 5, "line "), 0);
    EXPECT_EQ(log.text().substr(log.text().size() - 10), "line 999\r\n");

    // A save of a large fleet dumps over a million lines; the window's log
    // keeps its bound however many arrive (bench/ measures their cost).
    for (int i = 0; i < 400000; ++i) {
        log_append("        <ACQUISITION_SEQUENCE value=\"0\" interval=\"600\" />");
    }
    EXPECT_LE(window->Memo1->text().size(), 2 * LogMemo::default_kept_bytes);
}

// The installed icon is a PNG in the repository; it must stay the picture
// the program draws for its windows. ZANTOR_WRITE_ICON=1 rewrites it.
TEST(ProgramIcon, InstalledPngIsTheDrawnIcon)
{
    const QString png = QString::fromLocal8Bit(ZANTOR_PROGRAM_ICON_PNG);
    const QImage drawn = draw_program_icon(256).convertToFormat(QImage::Format_ARGB32);
    if (qEnvironmentVariable("ZANTOR_WRITE_ICON") == QStringLiteral("1")) {
        ASSERT_TRUE(drawn.save(png, "PNG"));
    }
    const QImage committed = QImage(png).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(committed.size(), drawn.size()) << png.toStdString();
    int different = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = committed.pixel(x, y);
            const int distance = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                 std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            different += distance > 24 ? 1 : 0;
        }
    }
    // Antialiasing may differ by a few pixels between Qt versions.
    EXPECT_LT(different, 256 * 256 / 100);
}

// The icon is drawn when a size is asked for: each size must be the picture
// drawn at exactly that size, not a scaled copy of another one.
TEST(ProgramIcon, EverySizeAskedForIsDrawnAtThatSize)
{
    const QIcon icon = program_icon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    for (int size : {16, 20, 32, 256}) {
        const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image, draw_program_icon(size).convertToFormat(QImage::Format_ARGB32)) << size;
    }
}
