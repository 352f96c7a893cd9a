// The File menu against real files in a temporary directory, answered
// through the real question box and Qt's own file dialogs.
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/log_memo.h"
#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "doc/Lib_cpp.h"
#include "doc/file_lock.h"
#include "support/core_files.h"
#include "support/gui_file_dialog.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "widgets/file_dialog.h"

namespace {

using QtFileDialog = GuiTest;
using NewAndSave = MainWindowTest;
using Opening = MainWindowTest;
using FailedOpen = MainWindowTest;
using FailedSave = MainWindowTest;

const std::string new_document = default_settings_file;

// A file of another program version: another root name, a station, an
// element the editor does not know, and no directories or COM ports.
const std::string partial_document =
    "<CONFIG>\r\n"
    "    <STATIONS>\r\n"
    "        <STATION id=\"7\" description=\"Roof\" />\r\n"
    "    </STATIONS>\r\n"
    "    <EXTRA a=\"1\" />\r\n"
    "</CONFIG>\r\n";

// The lines of a new document between its root and its station list: the
// directories and COM ports the editor adds to a file that has none.
std::string default_directories_and_ports()
{
    const std::string document = default_settings_file;
    const size_t start = document.find("\r\n") + 2;
    return document.substr(start, document.find("    <STATIONS />") - start);
}

const std::string partial_document_completed =
    "<CONFIG>\r\n"
    "    <STATIONS>\r\n"
    "        <STATION id=\"7\" description=\"Roof\" />\r\n"
    "    </STATIONS>\r\n"
    "    <EXTRA a=\"1\" />\r\n" +
    default_directories_and_ports() + "</CONFIG>\r\n";

// Writes `bytes` into `path` and opens it as the operator does: File, Open,
// the file's name.
void open_file(TFmain* window, const QString& path, const std::string& bytes)
{
    write_bytes(path, bytes);
    answer_next_file_dialog(path);
    choose_menu_item(window, "Open1");
}

// Answers the next error box, keeping its text.
void read_error_box(QString* text)
{
    when_modal_shown([text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
}

}  // namespace

// The editor reaches into Qt's file dialog for its name edit, and for that
// edit's completion list: a Qt that renames or drops them must fail here,
// not leave an operator with a stale name or a list over the main window.
TEST_F(QtFileDialog, StillHasTheNameEditAndItsCompletionList)
{
    std::unique_ptr<QFileDialog> dialog(make_file_dialog(nullptr, QStringLiteral("probe"), QFileDialog::Options()));
    QLineEdit* edit = file_name_edit(dialog.get());
    ASSERT_NE(edit, nullptr) << "Qt's file dialog has no QLineEdit named fileNameEdit any more";
    EXPECT_NE(edit->completer(), nullptr) << "Qt's file name edit completes names without a QCompleter now";
}

TEST_F(NewAndSave, FirstDialogsShowAnEmptyName)
{
    QString open_name = QStringLiteral("unset");
    cancel_next_file_dialog([&](QFileDialog* dialog) { open_name = file_name_shown(dialog); });
    choose_menu_item(window.get(), "Open1");
    EXPECT_TRUE(open_name.isEmpty()) << open_name.toStdString();

    QString save_name = QStringLiteral("unset");
    cancel_next_file_dialog([&](QFileDialog* dialog) { save_name = file_name_shown(dialog); });
    choose_menu_item(window.get(), "SaveAs1");
    EXPECT_TRUE(save_name.isEmpty()) << save_name.toStdString();
    EXPECT_FALSE(window->Save1->isEnabled());
}

TEST_F(NewAndSave, SaveAsWritesTheNewDocumentByteExactUnderTheTypedNamePlusXml)
{
    window->modified = true;
    answer_next_file_dialog(temp_path("fleet"));
    choose_menu_item(window.get(), "SaveAs1");

    const QString written = temp_path("fleet.xml");
    EXPECT_EQ(read_bytes(written), new_document);
    EXPECT_EQ(window->current_file(), written);
    EXPECT_EQ(window->lb_filename->text(), QDir::toNativeSeparators(written));
    EXPECT_TRUE(window->Save1->isEnabled());
    EXPECT_FALSE(window->modified);

    // Each save leaves the whole tree in the log.
    const std::string& log = window->Memo1->text();
    EXPECT_EQ(log.compare(0, 10, "<SETUP >\r\n"), 0) << log.substr(0, 40);
    EXPECT_EQ(log.substr(log.size() - 10), "</SETUP>\r\n");
}

TEST_F(NewAndSave, SaveWritesTheEditsToTheFileOfTheLastSaveAs)
{
    const QString file = temp_path("fleet.xml");
    write_bytes(file, "old content");
    // Save As onto an existing file asks first; Yes replaces it.
    QString question;
    answer_next_file_dialog(file, [&question] {
        click_in_next_modal(QStringLiteral("Yes"), [&question] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
            }
        });
    });
    choose_menu_item(window.get(), "SaveAs1");
    EXPECT_TRUE(question.contains(QStringLiteral("already exists"))) << question.toStdString();
    ASSERT_EQ(read_bytes(file), new_document);

    window->ed_COM_modem->setText(QStringLiteral("COM9"));
    window->modified = true;
    press_shortcut(window.get(), "Save1");
    EXPECT_NE(read_bytes(file).find("port=\"COM9\" rate=\"9600\""), std::string::npos);
    EXPECT_FALSE(window->modified);
}

TEST_F(NewAndSave, SaveAfterNewThatFollowedAnOpenAsksForAName)
{
    const QString opened = temp_path("opened.xml");
    write_bytes(opened, new_document);
    answer_next_file_dialog(opened);
    press_shortcut(window.get(), "Open1");
    ASSERT_TRUE(window->Save1->isEnabled());

    choose_menu_item(window.get(), "New1");
    EXPECT_TRUE(window->Save1->isEnabled());
    EXPECT_TRUE(window->current_file().isEmpty());

    window->modified = true;
    const QString chosen = temp_path("chosen.xml");
    answer_next_file_dialog(chosen);
    choose_menu_item(window.get(), "Save1");
    EXPECT_EQ(read_bytes(chosen), new_document);
    EXPECT_EQ(window->current_file(), chosen);
    EXPECT_FALSE(window->modified);
}

TEST_F(NewAndSave, ContinuingPastTheQuestionKeepsTheFlagSoTheNextCommandAsksAgain)
{
    window->ed_COM_direct->setText(QStringLiteral("COM5"));
    window->modified = true;
    click_in_next_modal(QStringLiteral("OK"));
    choose_menu_item(window.get(), "New1");
    EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM1"));
    EXPECT_TRUE(window->modified);

    window->ed_COM_direct->setText(QStringLiteral("COM6"));
    click_in_next_modal(QStringLiteral("Annuler"));
    choose_menu_item(window.get(), "New1");
    EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM6"));
    EXPECT_TRUE(window->modified);
}

TEST_F(Opening, CompletesWhatTheFileLacksAndKeepsEverythingElse)
{
    const QString file = temp_path("partial.xml");
    open_file(window.get(), file, partial_document);

    EXPECT_TRUE(window->Save1->isEnabled());
    EXPECT_EQ(window->current_file(), file);
    EXPECT_EQ(window->lb_filename->text(), QDir::toNativeSeparators(file));
    EXPECT_FALSE(window->modified);
    ASSERT_EQ(station_rows(), 1);
    EXPECT_EQ(station_cell(0, 1), QStringLiteral("Roof"));
    EXPECT_EQ(window->ed_path_xml->text(), QStringLiteral("c:\\kestrane\\data_xml"));

    choose_menu_item(window.get(), "Save1");
    EXPECT_EQ(read_bytes(file), partial_document_completed);

    // New keeps the root's name and fills it with the default top level.
    choose_menu_item(window.get(), "New1");
    EXPECT_STREQ(xml_name(window->setup_doc.root), "CONFIG");
    EXPECT_EQ(station_rows(), 0);
}

// "Open with" and a file dropped on the icon name the file on the command
// line: it was ignored. A file that cannot be opened gives Open's error box
// and leaves the default document.
TEST_F(Opening, TheFileOnTheCommandLineIsOpenedAsOpenWould)
{
    const QString good = temp_path("partial.xml");
    write_bytes(good, partial_document);
    const QString not_settings = temp_path("notes.xml");
    write_bytes(not_settings, "not xml");
    const struct {
        QStringList arguments;
        QString opened;  // empty: the default document stays
        bool error_box;
    } cases[] = {
        {{QStringLiteral("zantor_editor")}, QString(), false},
        {{QStringLiteral("zantor_editor"), QDir::current().relativeFilePath(good)}, good, false},
        {{QStringLiteral("zantor_editor"), temp_path("missing.xml")}, QString(), true},
        {{QStringLiteral("zantor_editor"), not_settings}, QString(), true},
    };
    for (const auto& c : cases) {
        choose_menu_item(window.get(), "New1");
        const QString error = answering_error_boxes([&] { window->open_from_command_line(c.arguments); });
        EXPECT_EQ(error.startsWith(QStringLiteral("Could not open the file")), c.error_box) << error.toStdString();
        EXPECT_EQ(window->current_file(), c.opened);
        EXPECT_EQ(station_rows(), c.opened.isEmpty() ? 0 : 1) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(window->modified);
    }
}

// A name typed into the dialog left its completion list over the main
// window, every time, until the next click.
TEST_F(Opening, TypedNamesLeaveNoCompletionListBehind)
{
    const QString opened = temp_path("partial.xml");
    open_file(window.get(), opened, partial_document);
    QTest::qWait(300);  // the dialog's folder listing arrives late
    expect_only_visible_window(window.get());

    answer_next_file_dialog(temp_path("copy.xml"));
    choose_menu_item(window.get(), "SaveAs1");
    QTest::qWait(300);
    expect_only_visible_window(window.get());
    EXPECT_EQ(window->current_file(), temp_path("copy.xml"));
}

// The Save As dialog is built at its first use; offered the opened file's
// name, it selected that file in its list, and the selection won over the
// name typed next.
TEST_F(Opening, SaveAsAfterOpenWritesUnderTheTypedName)
{
    EXPECT_TRUE(window->findChildren<QFileDialog*>().isEmpty()) << "no file dialog is built at start-up";
    const QString opened = temp_path("partial.xml");
    const QString typed = temp_path("copy.xml");
    open_file(window.get(), opened, partial_document);

    answer_next_file_dialog(typed);
    choose_menu_item(window.get(), "SaveAs1");
    EXPECT_EQ(window->current_file(), typed);
    EXPECT_EQ(read_bytes(typed), partial_document_completed);
    EXPECT_EQ(read_bytes(opened), partial_document);
}

TEST_F(Opening, WithChangesAsksFirstAndACancelledDialogChangesNothing)
{
    window->ed_path_bin->setText(QStringLiteral("e:\\typed"));
    window->modified = true;
    click_in_next_modal(QStringLiteral("OK"), [] { cancel_next_file_dialog(); });
    choose_menu_item(window.get(), "Open1");
    EXPECT_TRUE(window->modified);
    EXPECT_EQ(window->ed_path_bin->text(), QStringLiteral("e:\\typed"));
    EXPECT_FALSE(window->Save1->isEnabled());

    // "Annuler" stops before the dialog.
    click_in_next_modal(QStringLiteral("Annuler"));
    choose_menu_item(window.get(), "Open1");
    EXPECT_TRUE(window->modified);
}

TEST_F(FailedOpen, ReportsTheFileAndTheReasonAndKeepsTheWindowAsItWas)
{
    const QString good = temp_path("good.xml");
    open_file(window.get(), good, partial_document);
    window->ed_COM_direct->setText(QStringLiteral("COM8"));
    window->modified = true;

    const QString broken = temp_path("broken.xml");
    write_bytes(broken, "<SETUP>\r\n    <STATIONS>\r\n</SETUP>\r\n");
    myXMLdocument probe(nullptr);
    ASSERT_EQ(probe.load_file(QFile::encodeName(broken).constData()), nullptr);
    const QString reason = QString::fromLocal8Bit(probe.error_text().c_str());

    QString error;
    click_in_next_modal(QStringLiteral("OK"),
                        [&] { answer_next_file_dialog(broken, [&] { read_error_box(&error); }); });
    choose_menu_item(window.get(), "Open1");

    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(broken))) << error.toStdString();
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    EXPECT_EQ(window->current_file(), good);
    EXPECT_EQ(window->lb_filename->text(), QDir::toNativeSeparators(good));
    EXPECT_TRUE(window->Save1->isEnabled());
    EXPECT_TRUE(window->modified);
    EXPECT_EQ(window->ed_COM_direct->text(), QStringLiteral("COM8"));
    EXPECT_EQ(station_rows(), 1);

    // The document and its references are intact: the next save writes the
    // good file with the edit.
    choose_menu_item(window.get(), "Save1");
    std::string expected = partial_document_completed;
    expected.replace(expected.find("port=\"COM1\""), 11, "port=\"COM8\"");
    EXPECT_EQ(read_bytes(good), expected);

    // The next Open dialog offers the current file again, not the broken one.
    QString offered;
    cancel_next_file_dialog([&](QFileDialog* dialog) { offered = file_name_shown(dialog); });
    choose_menu_item(window.get(), "Open1");
    EXPECT_EQ(offered, QFileInfo(good).fileName());
}

namespace {

// The cursor over the editor each time the save's dump reaches the log.
std::vector<Qt::CursorShape> cursors_while_saving;
void note_cursor_while_saving(const char*)
{
    const QCursor* cursor = QApplication::overrideCursor();
    cursors_while_saving.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
}

}  // namespace

// A long Open or Save froze the window with nothing to say that the editor
// was busy.
TEST_F(Opening, OpenSaveAndSaveAsShowTheWaitCursorAndErrorBoxesTheNormalOne)
{
    const QString file = temp_path("fleet.xml");
    write_bytes(file, partial_document);
    std::vector<Qt::CursorShape> while_listing;
    QObject::connect(window->station_list, &QAbstractItemModel::modelReset, [&while_listing] {
        const QCursor* cursor = QApplication::overrideCursor();
        while_listing.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
    });
    answer_next_file_dialog(file);
    choose_menu_item(window.get(), "Open1");
    EXPECT_EQ(while_listing, std::vector<Qt::CursorShape>{Qt::WaitCursor});

    cursors_while_saving.clear();
    set_log_destination(note_cursor_while_saving);
    choose_menu_item(window.get(), "Save1");
    answer_next_file_dialog(temp_path("copy.xml"));
    choose_menu_item(window.get(), "SaveAs1");
    set_log_destination(log_append);
    ASSERT_FALSE(cursors_while_saving.empty());
    EXPECT_EQ(std::count(cursors_while_saving.begin(), cursors_while_saving.end(), Qt::WaitCursor),
              static_cast<std::ptrdiff_t>(cursors_while_saving.size()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const QString broken = temp_path("broken.xml");
    write_bytes(broken, "<SETUP>");
    bool box_shown = false;
    const QCursor* over_the_box = nullptr;
    answer_next_file_dialog(broken, [&] {
        when_modal_shown([&](QWidget* box) {
            box_shown = true;
            over_the_box = QApplication::overrideCursor();
            box->close();
        });
    });
    choose_menu_item(window.get(), "Open1");
    EXPECT_TRUE(box_shown);
    EXPECT_EQ(over_the_box, nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FailedSave, SaveIntoAMissingFolderIsReportedAndKeepsTheChangesUnsaved)
{
    const QString unreachable = temp_path("no_such_folder/fleet.xml");
    window->set_current_file(unreachable);
    window->Save1->setEnabled(true);
    window->modified = true;

    QString error;
    read_error_box(&error);
    choose_menu_item(window.get(), "Save1");
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(unreachable))) << error.toStdString();
    EXPECT_TRUE(window->modified);
    EXPECT_EQ(window->current_file(), unreachable);
}

TEST_F(FailedSave, FailedSaveAsKeepsTheOldNameAndSaveDisabled)
{
    window->modified = true;
    const QString target = temp_path("no_such_folder/fleet.xml");
    QString error;
    answer_next_file_dialog(target, [&] { read_error_box(&error); });
    choose_menu_item(window.get(), "SaveAs1");
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(target))) << error.toStdString();
    EXPECT_TRUE(window->modified);
    EXPECT_TRUE(window->current_file().isEmpty());
    EXPECT_TRUE(window->lb_filename->text().isEmpty());
    EXPECT_FALSE(window->Save1->isEnabled());
}

// Caught: Save silently erased what the fleet tool had written to the file
// since the editor opened it.
TEST_F(FailedSave, AVersionAnotherProgramSavedMeanwhileIsReplacedOnlyWhenTheOperatorSaysSo)
{
    const QString path = temp_path("fleet.xml");
    open_file(window.get(), path, partial_document);
    window->modified = true;
    const std::string other_version = partial_document + " ";
    write_bytes(path, other_version);
    click_in_next_modal(QStringLiteral("No"));
    choose_menu_item(window.get(), "Save1");
    EXPECT_EQ(other_version, read_bytes(path));
    EXPECT_TRUE(window->modified);

    click_in_next_modal(QStringLiteral("Yes"));
    choose_menu_item(window.get(), "Save1");
    EXPECT_EQ(partial_document_completed, read_bytes(path));
    EXPECT_FALSE(window->modified);
    // Saved by the editor itself: no question the next time.
    window->modified = true;
    choose_menu_item(window.get(), "Save1");
    EXPECT_FALSE(window->modified);

    // Another writer's lock: told, with its owner, and nothing written.
    FileLock fleet_tool;
    std::string reason;
    ASSERT_TRUE(fleet_tool.take(QFile::encodeName(path).constData(), "zantor-fleet import", 0, reason));
    window->modified = true;
    QString error;
    read_error_box(&error);
    choose_menu_item(window.get(), "Save1");
    EXPECT_TRUE(error.contains(QStringLiteral("is being written by zantor-fleet import"))) << error.toStdString();
    EXPECT_TRUE(window->modified);
}

// Qt's dialog kept the file picked in the failed run selected in its list,
// and that selection won over the name typed in the next run.
TEST_F(FailedOpen, NameTypedInTheNextRunIsTheOneOpened)
{
    const QString empty = temp_path("empty.xml");
    const QString good = temp_path("good.xml");
    write_bytes(empty, "");
    write_bytes(good, partial_document);
    // An empty file and a missing one are reported like a broken one.
    for (const QString& failing : {empty, temp_path("missing.xml")}) {
        QString error;
        answer_next_file_dialog(failing, [&] { read_error_box(&error); });
        choose_menu_item(window.get(), "Open1");
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(failing))) << error.toStdString();
        EXPECT_FALSE(window->Save1->isEnabled());
    }

    answer_next_file_dialog(good);
    choose_menu_item(window.get(), "Open1");
    EXPECT_EQ(window->current_file(), good);
    EXPECT_EQ(station_rows(), 1);
}
